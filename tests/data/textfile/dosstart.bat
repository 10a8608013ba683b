@echo off

rem Loaded when Windows restarts in MS-DOS mode
SET SOUND=C:\VANTORIS
set halcyrene=a220 i5 d1
LH C:\VANTORIS\DOS\Halcyren.rom
LH MSCDEX.EXE /D:MSCD001 /L:E

