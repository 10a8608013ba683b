@echo off

REM This file runs when you restart the computer 
REM in MS-DOS mode. Put here the programs that Windows 
REM does not need but MS-DOS does: the CD-ROM 
REM extension and a mouse driver.
REM
REM The CD-ROM driver itself is loaded by CONFIG.SYS.
REM
REM - The drive letter of the CD-ROM must be given to MSCDEX 
REM - The name after /D: must match the one in CONFIG.SYS.

REM MSCDEX.EXE  /D:OEMCD001 /l:d
REM MOUSE.EXE

