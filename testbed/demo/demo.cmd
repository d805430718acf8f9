@echo off
rem The main job on one fresh machine: the version of every installed deliverable, then the demo
rem robot through the installation's whole life, its report in C:\demo-report. With --windows
rem VERSION first, verprint sees that version here too, as the robot's programs do.
if "%1"=="--windows" reg add "HKCU\Software\Wine\AppDefaults\verprint.exe" /v Version /d %2 /f >nul
call C:\testbed\demo\versions.cmd
echo.
C:\testbed\demo_robot.exe --report C:\demo-report %*
