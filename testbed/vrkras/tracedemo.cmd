@echo off
rem The trace service's part of the main job: provision, load the substitute driver, start the
rem service, let the driver talk for a few seconds, stop, and show the files and the diagnostic log.
set ctl=C:\testbed\vrkrasctl.exe
set maker=%SystemRoot%\SYSTEM32\VARNEK
echo == trace service: provision the machine, load the substitute VrkRas driver, start VrkRasTraceSV
%ctl% provision
%ctl% load
%ctl% start
echo == the driver writes trace text (4000 bytes/s) and RING: records to its log (800 bytes/s) for 5 s
%ctl% stream trace lines 4000
%ctl% stream log ring 800
%ctl% sleep 5
%ctl% quiet
%ctl% sleep 2
%ctl% stop
%ctl% state
echo == the files in %maker%
dir /b %maker%\Ras*.TXT
%ctl% show %maker%\RasTrc.TXT 3 2
%ctl% show %maker%\RasLog.TXT 3 2
echo == the service's diagnostic log
%ctl% show C:\temp\TraceLogSvc.log 22 10
