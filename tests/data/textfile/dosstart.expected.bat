@echo off
rem Loaded when Windows restarts in MS-DOS mode
SET SOUND=C:\VANTORIS
LH MSCDEX.EXE /D:MSCD001 /L:E
