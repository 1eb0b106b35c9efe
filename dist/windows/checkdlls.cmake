# cmake -DFOLDER=<unpacked zip> -DOBJDUMP=<x86_64-w64-mingw32-objdump> -P checkdlls.cmake
# Fails, naming each, when a DLL that an .exe or .dll in FOLDER imports is neither beside
# tessary.exe (where Windows looks first, for the plugins' imports too) nor part of Windows.
cmake_minimum_required(VERSION 3.24)
set(windows_dlls
    advapi32 authz bcrypt comctl32 comdlg32 crypt32 d2d1 d3d11 d3d12 d3d9 dnsapi dwmapi dwrite
    dxgi gdi32 imm32 iphlpapi kernel32 mpr msvcrt ncrypt netapi32 ole32 oleaut32 secur32 setupapi
    shell32 shlwapi shcore user32 userenv uxtheme version winmm winhttp wldap32 ws2_32 wtsapi32)

file(GLOB shipped RELATIVE ${FOLDER} ${FOLDER}/*.dll)
string(TOLOWER "${shipped}" shipped)
file(GLOB_RECURSE binaries ${FOLDER}/*.exe ${FOLDER}/*.dll)
set(missing)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "DLL Name: " "" dll "${import}")
        string(STRIP "${dll}" dll)
        string(TOLOWER "${dll}" dll)
        string(REGEX REPLACE "\\.dll$" "" base "${dll}")
        if(NOT dll IN_LIST shipped AND NOT base IN_LIST windows_dlls
           AND NOT base MATCHES "^api-ms-win-")
            file(RELATIVE_PATH name ${FOLDER} ${binary})
            list(APPEND missing "${name} needs ${dll}")
        endif()
    endforeach()
endforeach()
if(missing)
    list(JOIN missing "\n  " text)
    message(FATAL_ERROR "DLLs missing from the zip:\n  ${text}")
endif()
list(LENGTH binaries count)
message(STATUS "Every DLL that the zip's ${count} programs and libraries import is in it or in Windows")
