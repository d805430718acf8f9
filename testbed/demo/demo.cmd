@echo off
rem The main job on one fresh machine: each step is a script of its own beside this one.
call C:\testbed\demo\versions.cmd
echo.
call C:\testbed\demo\setup.cmd
