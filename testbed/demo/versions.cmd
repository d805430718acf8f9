@echo off
rem The version line of every deliverable installed in the maker's directory.
echo == version line of every installed deliverable
for %%f in (%SystemRoot%\SYSTEM32\VARNEK\*.*) do %SystemRoot%\SYSTEM32\VARNEK\verprint.exe %%f
