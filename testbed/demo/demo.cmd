@echo off
rem The main job on one fresh machine: the version of every installed deliverable, then the demo
rem robot through the installation's whole life, its report in C:\demo-report.
call C:\testbed\demo\versions.cmd
echo.
C:\testbed\demo_robot.exe --report C:\demo-report %*
