# Version du programme : une seule source, la version du projet (project(... VERSION 2.0.0.4)).
# Elle arrive au code par l'en-tête généré VersionVEK.h (cible d'interface vek_version) et, sous
# Windows, dans la ressource de version des exécutables (vek_ressource_windows).

# Complète un nombre par des zéros à gauche jusqu'à la largeur voulue.
function(_vek_zeros_a_gauche valeur largeur sortie)
  set(resultat "${valeur}")
  string(LENGTH "${resultat}" longueur)
  while(longueur LESS largeur)
    string(PREPEND resultat "0")
    math(EXPR longueur "${longueur} + 1")
  endwhile()
  set(${sortie} "${resultat}" PARENT_SCOPE)
endfunction()

# Majeure, mineure, révision (le quatrième nombre) ; le troisième reste à 0.
set(VEK_VERSION_MAJEURE ${PROJECT_VERSION_MAJOR})
set(VEK_VERSION_MINEURE ${PROJECT_VERSION_MINOR})
set(VEK_VERSION_CORRECTIF ${PROJECT_VERSION_PATCH})
set(VEK_VERSION_REVISION ${PROJECT_VERSION_TWEAK})
if(VEK_VERSION_REVISION STREQUAL "")
  set(VEK_VERSION_REVISION 0)
endif()
_vek_zeros_a_gauche(${VEK_VERSION_MINEURE} 2 _mineure2)
_vek_zeros_a_gauche(${VEK_VERSION_REVISION} 4 _revision4)
# « 2.00.0004 » dans la ressource de version, « 2.0.4 » à l'écran.
set(VEK_VERSION_FICHIER "${VEK_VERSION_MAJEURE}.${_mineure2}.${_revision4}")
set(VEK_VERSION_AFFICHEE "${VEK_VERSION_MAJEURE}.${VEK_VERSION_MINEURE}.${VEK_VERSION_REVISION}")
set(VEK_NOM_PRODUIT "${PROJECT_DESCRIPTION}")

set(VEK_DOSSIER_GENERE "${CMAKE_BINARY_DIR}/genere")
configure_file("${CMAKE_CURRENT_LIST_DIR}/VersionVEK.h.in" "${VEK_DOSSIER_GENERE}/VersionVEK.h" @ONLY)

add_library(vek_version INTERFACE)
target_include_directories(vek_version INTERFACE "${VEK_DOSSIER_GENERE}")

if(WIN32)
  enable_language(RC)
endif()

# Ajoute à une cible la ressource de version de Windows (sans effet ailleurs), et son icône.
#   vek_ressource_windows(<cible> <nom interne> <nom du fichier> <description> [ICONE <.ico>])
function(vek_ressource_windows cible nom_interne nom_fichier description)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 4 arg "" "ICONE" "")
  set(VEK_RC_ICONE "")
  if(arg_ICONE)
    # Premier groupe d'icônes : celle que montrent l'explorateur et la barre des tâches.
    set(VEK_RC_ICONE "IDI_ICON1 ICON \"${arg_ICONE}\"")
  endif()
  set(VEK_RC_NOM_INTERNE "${nom_interne}")
  set(VEK_RC_NOM_FICHIER "${nom_fichier}")
  set(VEK_RC_DESCRIPTION "${description}")
  set(rc "${VEK_DOSSIER_GENERE}/${cible}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/VersionVEK.rc.in" "${rc}" @ONLY)
  target_sources(${cible} PRIVATE "${rc}")
  if(arg_ICONE)
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${arg_ICONE}")
  endif()
endfunction()
