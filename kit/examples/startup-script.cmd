@echo off
rem Tolvane as a Group Policy computer start-up script. It runs as the local system account, so
rem the computers of the domain need read access to \\server\tolvane and write access to
rem \\server\reports. The domain-member policy keeps ADMIN$, IPC$, SMB and NetBIOS, which this
rem script, Group Policy, PsExec and Configuration Manager need at the next start.
rem The exit code is Tolvane's: 0 all in force, 1-99 settings not in force, 100 and above a
rem failure, 3010 a restart needed (see README.txt).
rem Tolvane64.exe on the x64 editions, Tolvane.exe everywhere else (32-bit Windows, Itanium). A
rem 32-bit cmd under WOW64 sees x86 in PROCESSOR_ARCHITECTURE and the machine's processor in
rem PROCESSOR_ARCHITEW6432.
set TOLVANE_PROGRAM=Tolvane.exe
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set TOLVANE_PROGRAM=Tolvane64.exe
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set TOLVANE_PROGRAM=Tolvane64.exe
\\server\tolvane\%TOLVANE_PROGRAM% /apply:@\\server\tolvane\policies\domain-member.txt /report:\\server\reports\%COMPUTERNAME%.csv
exit /b %errorlevel%
