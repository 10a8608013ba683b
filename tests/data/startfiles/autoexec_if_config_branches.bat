@ECHO OFF

SET CTCM=C:\WINDOWS
SET SOUND=C:\PROGRA~1\AUDIO\SND
SET MIDI=SYNTH:1 MAP:E MODE:0
SET BLASTER=A220 I5 D1 H5 P330 E620 T6 

IF %CONFIG%==menu GOTO menu
IF %CONFIG%==games GOTO games
IF %CONFIG%==windows GOTO windows

:xms
:ems
goto end

:windows 
echo Starting Windows...
win
goto end

:games
LH C:\UTILS\ctmouse.exe /O /R4
C:\PROGRA~1\AUDIO\SND\MIXER /LI:200;200;50
cd \games\quake
quake
goto end;

:menu
cd \menu
menu.bat
goto end;

:end
cd \
