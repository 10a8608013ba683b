@ECHO OFF
PROMPT $P$G
PATH C:\DOS;C:\NC;C:\DRIVERS\GUS;C:\DRIVERS\SB16

REM --- environment ---
SET TEMP=C:\DOS\TMP
SET TMP=C:\DOS\TMP

REM --- sound card: A220=port, I5=IRQ, D1=8-bit DMA, H5=16-bit DMA ---
REM P330=MPU-401 port, E620=wavetable port, T6=card type
REM Valid IRQs: 2/5/7/10
SET SOUND=C:\DRIVERS\SB16
SET BLASTER=A220 I5 D1 H5 P330 E620 T6 
SET MIDI=SYNTH:1 MAP:E MODE:0

REM --- second card: port,DMA,DMA,IRQ,IRQ ---
SET ULTRASND=240,3,3,7,7
SET ULTRADIR=C:\DRIVERS\GUS

GOTO %CONFIG%

REM -----------------------------------------
REM Profile WINDOWS: the card is set up by Windows
REM -----------------------------------------
:WINDOWS
REM /mode gus = emulation mode, /mainvol 90 = headroom
C:\DRIVERS\GUS\GUSINIT.EXE /mode gus /mainvol 90
ECHO.
ECHO  BLASTER : %BLASTER%
ECHO  MIDI    : %MIDI%
ECHO  ULTRASND: %ULTRASND%
ECHO.
LH C:\DRIVERS\CDX\CDX.COM /D:CD0001 /Q
WIN.COM
GOTO END

:NORMAL
REM Wavetable init for DOS games
C:\DRIVERS\SB16\UNISOUND.COM /V90
GOTO END

:END
