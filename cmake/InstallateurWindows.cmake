# L'installateur Windows (générateur NSIS de CPack, makensis du paquet Debian nsis) : il pose le
# dossier déployé dans Program Files\VEK_Log, ajoute au menu Démarrer « Extracteur de LOG VEK »
# et le désinstalleur, et parle français. Il s'installe aussi en silence (/S).
#
# Le modèle de script de CMake propose toutes les langues et une page anglaise sur la variable
# PATH ; on en tire ici un modèle en français seul, sans cette page (le programme ne touche pas à
# PATH), que CPack prend avant le sien (CMAKE_MODULE_PATH).

set(_vek_modele_cmake "${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in")
set(_vek_dossier_modele "${CMAKE_BINARY_DIR}/installateur")
file(READ "${_vek_modele_cmake}" _modele)

# Une seule langue : le français.
string(REGEX REPLACE "(  !insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n)+"
       "  !insertmacro MUI_LANGUAGE \"French\"\n" _modele "${_modele}")
string(REPLACE "  Page custom InstallOptionsPage\n" "" _modele "${_modele}")
# Les quelques textes du modèle qui ne passent pas par les traductions de NSIS.
foreach(_paire IN ITEMS
    "is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?|est déjà installé. $\\n$\\nFaut-il désinstaller l'ancienne version avant d'installer la nouvelle ?"
    "\"Uninstall failed.\"|\"La désinstallation a échoué.\""
    "\\Uninstall.lnk\"|\\Désinstaller.lnk\"")
  string(REPLACE "|" ";" _paire "${_paire}")
  list(GET _paire 0 _avant)
  list(GET _paire 1 _apres)
  string(FIND "${_modele}" "${_avant}" _position)
  if(_position EQUAL -1)
    message(FATAL_ERROR "Modèle NSIS de CMake inattendu : « ${_avant} » n'y est plus.")
  endif()
  string(REPLACE "${_avant}" "${_apres}" _modele "${_modele}")
endforeach()
# Le modèle commence par la marque d'ordre des octets de l'UTF-8, qui fait lire le script en
# UTF-8 ; juste après elle, « Target amd64-unicode » : un installateur 64 bits (le programme
# l'est, et wine64 seul le lance) aux textes Unicode (accents).
string(FIND "${_modele}" "\n" _fin_premiere_ligne)
math(EXPR _fin_premiere_ligne "${_fin_premiere_ligne} + 1")
string(SUBSTRING "${_modele}" 0 ${_fin_premiere_ligne} _premiere_ligne)
string(SUBSTRING "${_modele}" ${_fin_premiere_ligne} -1 _suite)
set(_modele "${_premiere_ligne}Target amd64-unicode\n${_suite}")
file(WRITE "${_vek_dossier_modele}/NSIS.template.in" "${_modele}")
list(PREPEND CMAKE_MODULE_PATH "${_vek_dossier_modele}")

set(CPACK_NSIS_PACKAGE_NAME "${VEK_NOM_PRODUIT}")
set(CPACK_NSIS_DISPLAY_NAME "${VEK_NOM_PRODUIT} ${VEK_VERSION_AFFICHEE}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "VEK_Log")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_UNINSTALL_NAME "Desinstaller")
set(CPACK_NSIS_MUI_ICON "${VEK_ICONE_ICO}")
set(CPACK_NSIS_MUI_UNIICON "${VEK_ICONE_ICO}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "VEK_Log.exe")
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.lanternes-sourdes.example.org/vek/")
set(CPACK_NSIS_CONTACT "${CPACK_PACKAGE_CONTACT}")
# Le dossier du menu Démarrer et son raccourci : « Extracteur de LOG VEK ».
set(CPACK_PACKAGE_EXECUTABLES "VEK_Log" "${VEK_NOM_PRODUIT}")
