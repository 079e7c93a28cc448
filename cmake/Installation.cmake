# Installation (cmake --install) et paquets (CPack). Sous Linux : .deb et archive .tar.gz
# portable ; sous Windows : installateur NSIS en français et archive .zip portable.
#
# Sous Linux, les programmes vont dans bin ; le lanceur du bureau, l'icône et la page de manuel
# de vek-extraire vont à leur place standard. Sous Windows, un seul dossier qui se suffit à
# lui-même : les deux programmes, les DLL de Qt et d'exécution de gcc, platforms/qwindows.dll et
# styles/qwindowsvistastyle.dll (cmake/DeploiementWindows.cmake). Une copie installée dans un
# dossier où l'on ne peut pas écrire range LogVEKtemp.txt et LogFinal.txt dans le dossier de
# données de l'utilisateur (vek::RepertoireProgramme).

include(GNUInstallDirs)
if(WIN32)
  set(CMAKE_INSTALL_BINDIR ".")
endif()

set(_vek_programmes)
foreach(_cible IN ITEMS VEK_Log vek-extraire)
  if(TARGET ${_cible})
    list(APPEND _vek_programmes ${_cible})
  endif()
endforeach()
if(_vek_programmes)
  install(TARGETS ${_vek_programmes}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programmes)
endif()

# Ressource de version de Windows pour chaque programme.
if(TARGET VEK_Log)
  vek_ressource_windows(VEK_Log "VEK_Log" "VEK_Log.exe" "${VEK_NOM_PRODUIT}" ICONE "${VEK_ICONE_ICO}")
  add_dependencies(VEK_Log vek_icone_windows)
endif()
if(TARGET vek-extraire)
  vek_ressource_windows(vek-extraire "vek-extraire" "vek-extraire.exe"
    "${VEK_NOM_PRODUIT} (ligne de commande)")
endif()

if(NOT WIN32)
  if(TARGET VEK_Log)
    install(FILES "${PROJECT_SOURCE_DIR}/installation/vek-log.desktop"
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programmes)
    install(FILES "${PROJECT_SOURCE_DIR}/ui/images/vek-log.svg"
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT programmes)
  endif()
  if(TARGET vek-extraire)
    install(FILES "${PROJECT_SOURCE_DIR}/installation/vek-extraire.1"
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programmes)
  endif()
endif()

if(WIN32 AND TARGET VEK_Log)
  include(${CMAKE_CURRENT_LIST_DIR}/DeploiementWindows.cmake)
endif()

# --- Paquets ---
set(CPACK_PACKAGE_NAME "vek-log")
set(CPACK_PACKAGE_VENDOR "Cercle des Lanternes Sourdes")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "${VEK_NOM_PRODUIT} : extraction des conversations du journal de discussion de Q7R")
set(CPACK_PACKAGE_DESCRIPTION
  "VEK_Log choisit un journal, une période, les channels et les locuteurs à garder, et écrit
LogFinal.txt avec les conversations retenues. vek-extraire fait le même travail depuis la ligne
de commande.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "contact@lanternes-sourdes.example.org")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "VEK_Log")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/;/build-.*/;/\\\\.git/;/bench/donnees/")

set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
if(WIN32)
  # VEK_Log-2.0.4-win64.exe (installateur) et VEK_Log-2.0.4-win64.zip (dossier portable).
  set(CPACK_GENERATOR "NSIS;ZIP")
  set(CPACK_PACKAGE_FILE_NAME "VEK_Log-${VEK_VERSION_AFFICHEE}-win64")
  include(${CMAKE_CURRENT_LIST_DIR}/InstallateurWindows.cmake)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  # Archive portable : un dossier vek-log-<version>-<système> qui contient bin/ et share/.
  set(CPACK_PACKAGE_FILE_NAME "vek-log-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()

# Paquet Debian : dépendances calculées depuis les bibliothèques liées.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.lanternes-sourdes.example.org/vek/")

include(CPack)
