@echo off
rem Mirufon's tests on this Windows: every test program of this folder in turn (the unit tests
rem of the core, the tests of the Windows layer, and the end-to-end tests, which start
rem mirufon.exe and drive it with the mouse and the keyboard as a user would). Each program
rem writes a GoogleTest XML report into the folder "results" beside this file; screenshots of
rem the end-to-end tests go to results\screenshots. The last line is the summary,
rem "tests: N passed, M failed"; the line before it says how many tests were skipped, and the
rem lines above name each skipped test with the reason and each failed test.
rem
rem   run-tests.cmd            runs everything, then waits for a key (for a double click)
rem   run-tests.cmd /nopause   the same without waiting (for a script)
rem
rem The exit code is 0 when no test failed.
setlocal
cd /d "%~dp0"
if exist results rd /s /q results
md results
if not defined MIRUFON_ARTIFACTS set "MIRUFON_ARTIFACTS=%~dp0results\screenshots"

echo Mirufon's tests on this Windows. The end-to-end tests move the mouse pointer and
echo press keys: leave the mouse and the keyboard alone until the summary line appears.
echo.
for %%p in (*_tests.exe) do call :run "%%~np"
echo.
test-summary.exe results
set status=%errorlevel%
if /i not "%~1"=="/nopause" pause
exit /b %status%

rem One test program: its report and its exit code, read by test-summary.exe.
:run
echo == %~1
"%~1.exe" --gtest_brief=1 "--gtest_output=xml:results\%~1.xml"
>"results\%~1.exit" echo %errorlevel%
exit /b 0
