@echo off
rem Renders a settings file through the Ostrivane.dll beside this file, in a window of its own,
rem and writes the picture as a PNG file.
rem
rem   preview.bat [SETTINGS.ini] [PICTURE.png]
rem
rem SETTINGS.ini defaults to the Ostrivane.ini beside this file; PICTURE.png to a file beside the
rem settings file, named like it. The settings file is checked first and its warnings shown.
setlocal
set "HERE=%~dp0"
set "SETTINGS=%~1"
if "%SETTINGS%"=="" set "SETTINGS=%HERE%Ostrivane.ini"
if not exist "%HERE%Ostrivane.dll" (
  echo preview: Ostrivane.dll is not beside preview.bat, in %HERE% 1>&2
  exit /b 2
)
if not exist "%HERE%standin_host.exe" (
  echo preview: standin_host.exe is not beside preview.bat, in %HERE% 1>&2
  exit /b 2
)
if not exist "%SETTINGS%" (
  echo preview: settings file %SETTINGS% not found 1>&2
  exit /b 2
)
if exist "%SETTINGS%\*" (
  echo preview: settings file %SETTINGS% is a folder, not a file 1>&2
  exit /b 2
)
for %%F in ("%SETTINGS%") do (
  set "SETTINGS=%%~fF"
  set "PICTURE=%%~dpnF.png"
)
if not "%~2"=="" set "PICTURE=%~f2"
if exist "%PICTURE%\*" (
  echo preview: %PICTURE% is a folder: name the PNG file to write 1>&2
  exit /b 2
)

"%HERE%settings_dump.exe" --check "%SETTINGS%"
"%HERE%standin_host.exe" --plugin "%HERE%Ostrivane.dll" --settings "%SETTINGS%" ^
  "background viewport" "camera perspective" "selmode face" "faces 12" "edges 30" "vertices 20" ^
  frame frame "save %PICTURE%"
if errorlevel 1 (
  echo preview: the picture could not be made 1>&2
  exit /b 1
)
echo preview: wrote %PICTURE%
exit /b 0
