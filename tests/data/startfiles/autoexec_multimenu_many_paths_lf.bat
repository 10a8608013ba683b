REM - By Windows Setup - SET SNDSCAPE=C:\WINDOWS
rem @if exist C:\WININST0.400\SuWarn.Bat call C:\WININST0.400\SuWarn.Bat
ECHO OFF
SET VIRUS=OFF

IF "%config%"=="TERM" GOTO TERM
IF "%config%"=="TV" GOTO TV
IF "%config%"=="WINDOWS" GOTO WINDOWS
IF "%config%"=="MSDOS" GOTO MSDOS
IF "%config%"=="EMM386" GOTO EMM386
IF "%config%"=="SOUND" GOTO SOUND

REM Boot menu of this PC, 1999-2004

:TERM
vesa.exe -w
PATH C:\WINDOWS;C:\WINDOWS\COMMAND;c:\archive;c:\util;c:\boot;c:\vesa;
rem lh smartdrv.exe c+ d+
c:\term\terminal.exe
mode con codepage prepare=((866) C:\WINDOWS\COMMAND\ega3.cpi)
GOTO END

:TV
LH c:\tv\tvdrv.com
PATH c:\archive;c:\util;c:\boot;C:\DOS;c:\tv;c:\vesa;
SET TEMP=C:\WINDOWS\TEMP
rem - By Windows Setup - loadhigh c:\CDROM\MSCDEX.exe /D:MSCD001
GOTO END

:WINDOWS
C:\UTIL\SNDCFG.EXE /A:220 /I:5 /D:1 /B:330
C:\UTIL\SNDVOL.EXE /V:8 /L:8 /W:8
REM - By Windows Setup - set blaster=a220 i5 d1 h5 p330 t6
PATH C:\WINDOWS;C:\WINDOWS\COMMAND;c:\archive;c:\util

  mode con codepage prepare=((866) C:\WINDOWS\COMMAND\ega3.cpi)
 mode con codepage select=866
 keyb ru,,C:\WINDOWS\COMMAND\keybrd3.sys
GOTO END

:MSDOS
REM PROMPT $P$G
PATH C:\WINDOWS;C:\WINDOWS\COMMAND;c:\archive;c:\util;c:\boot;C:\DOS;c:\scan;c:\menu;c:\bp\bin;c:\gvdos;c:\vesa;C:\JDK\BIN;c:\prog\tools;
SET TEMP=C:\WINDOWS\TEMP
LH MOUSE.COM
GOTO END

:EMM386
PATH C:\WINDOWS;C:\WINDOWS\COMMAND;C:\DOS;c:\menu;
MOUSE.COM
GOTO END

:NOTHING
rem PATH C:\WINDOWS;C:\WINDOWS\COMMAND;c:\archive
rem PATH C:\BOOT;c:\util
LH c:\util\MOUSE.COM
GOTO END

:80386
rem PATH C:\WINDOWS;c:\util
PATH C:\BOOT;c:\util;C:\JDK\BIN;
GOTO END

:SOUND
SET SNDSCAPE=C:\WINDOWS
C:\CARD\INIT.COM
rem  C:\UTIL\SNDVOL.EXE /V:8
SET BLASTER=A220 I5 D1 T2
set midi=synth:1 map:e
PATH C:\WINDOWS;C:\WINDOWS\COMMAND;c:\util;C:\DOS
GOTO END

:END




