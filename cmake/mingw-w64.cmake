# Chaîne d'outils pour construire les programmes Windows (64 bits) depuis Linux avec mingw-w64.
#   cmake -S . -B build/mingw --toolchain cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH=<Qt> ...
# Elle sert aussi à construire ce Qt lui-même (scripts/qt-windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VEK_MINGW_PREFIXE x86_64-w64-mingw32 CACHE STRING "Préfixe des outils mingw-w64")

# Le moteur se sert de std::thread : les variantes « posix » de Debian le fournissent, les
# variantes « win32 » de gcc 12 non.
find_program(VEK_MINGW_GCC NAMES ${VEK_MINGW_PREFIXE}-gcc-posix ${VEK_MINGW_PREFIXE}-gcc)
find_program(VEK_MINGW_GXX NAMES ${VEK_MINGW_PREFIXE}-g++-posix ${VEK_MINGW_PREFIXE}-g++)
set(CMAKE_C_COMPILER ${VEK_MINGW_GCC})
set(CMAKE_CXX_COMPILER ${VEK_MINGW_GXX})
set(CMAKE_RC_COMPILER ${VEK_MINGW_PREFIXE}-windres)

set(CMAKE_AR /usr/bin/${VEK_MINGW_PREFIXE}-ar)
set(CMAKE_RANLIB /usr/bin/${VEK_MINGW_PREFIXE}-ranlib)

set(CMAKE_FIND_ROOT_PATH /usr/${VEK_MINGW_PREFIXE})
# Les préfixes donnés par -DCMAKE_PREFIX_PATH (le Qt construit pour Windows) sont aussi des
# racines de recherche : find_package(Qt6) les trouve.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Les programmes liés à Qt partagent avec ses DLL celles d'exécution de gcc (livrées à côté) ;
# ceux qui n'en dépendent pas sont liés sans elles (voir CMakeLists.txt, « if(MINGW) »).
