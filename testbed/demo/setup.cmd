@echo off
rem The installation script's calls into VRKSUDLL.DLL, and the setup log they leave.
echo == setup procedures called as the INF setup engine calls them
C:\testbed\host.exe --script C:\testbed\demo\setup-steps.txt
echo.
echo == c:\temp\setup.log
type c:\temp\setup.log
