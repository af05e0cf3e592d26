@echo off
rem Tolvane as a Group Policy computer start-up script. It runs as the local system account, so
rem the computers of the domain need read access to \\server\tolvane and write access to
rem \\server\reports. The domain-member policy keeps ADMIN$, IPC$, SMB and NetBIOS, which this
rem script, Group Policy, PsExec and Configuration Manager need at the next start.
rem The exit code is Tolvane's: 0 all in force, 1-99 settings not in force, 100 and above a
rem failure, 3010 a restart needed (see README.txt).
\\server\tolvane\Tolvane.exe /apply:@\\server\tolvane\policies\domain-member.txt /report:\\server\reports\%COMPUTERNAME%.csv
exit /b %errorlevel%
