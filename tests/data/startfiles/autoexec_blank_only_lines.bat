REM [Setup]
@ECHO OFF
if not exist \station.reg call station.bat
if not exist \firstrun.reg regedit \station.reg
                             
                                                  
                                          
        
           
                                       
                  
       
                                  
                              

