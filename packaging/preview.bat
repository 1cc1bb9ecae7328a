@echo off
rem Draws a settings file through the Ostrivane.dll beside this file, over a picture like the
rem host's viewport, and writes it as a PNG picture. "preview.bat --help" lists the options.
rem
rem   preview.bat [options] [SETTINGS.ini [PICTURE.png]]
rem
rem The work is done by standin_host.exe beside this file. The arguments go to it as they came, so
rem that names in any script arrive whole whatever the console's code page, and its messages show
rem every character. Exit status: 0 picture made, 1 warnings or no overlay in the picture, 2 bad
rem input (no picture).
setlocal
if not exist "%~dp0standin_host.exe" (
  echo preview: standin_host.exe is not beside preview.bat: unpack the whole ZIP into one folder 1>&2
  exit /b 2
)
rem Started from Explorer, cmd runs this file with /c and the window closes as soon as it ends: the
rem preview then waits for a key. Its command line tells the two apart.
set "OSTRIVANE_LAUNCH_LINE=%cmdcmdline%"
"%~dp0standin_host.exe" --preview "%~f0" --wait-if-double-clicked --default-settings "%~dp0Ostrivane.ini" %*
exit /b %errorlevel%
