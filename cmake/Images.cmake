# Les dessins du projet (ui/images/*.svg) deviennent à la construction des images PNG, rendues par
# rsvg-convert (paquet Debian librsvg2-bin) : à leur taille (1×) et au double (2×, écrans à forte
# densité). Le programme n'a ainsi besoin d'aucun module SVG de Qt, sous Linux comme sous Windows.
# L'icône est rendue à plusieurs tailles, et rassemblée en icône Windows (.ico) pour l'exécutable.

find_program(VEK_RSVG_CONVERT rsvg-convert)
if(NOT VEK_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert introuvable : installez le paquet librsvg2-bin "
                      "(scripts/dependances.sh).")
endif()

# Lit la largeur et la hauteur déclarées par un SVG (attributs width et height de <svg>).
function(_vek_taille_svg fichier largeur hauteur)
  file(READ "${fichier}" texte)
  string(REGEX MATCH "<svg[^>]*>" balise "${texte}")
  string(REGEX MATCH "width=\"([0-9]+)\"" _ "${balise}")
  set(l "${CMAKE_MATCH_1}")
  string(REGEX MATCH "height=\"([0-9]+)\"" _ "${balise}")
  set(h "${CMAKE_MATCH_1}")
  if(l STREQUAL "" OR h STREQUAL "")
    message(FATAL_ERROR "${fichier} : largeur ou hauteur entière absente de <svg>.")
  endif()
  set(${largeur} ${l} PARENT_SCOPE)
  set(${hauteur} ${h} PARENT_SCOPE)
endfunction()

# Une règle de rendu : <svg> vers <png>, à la taille donnée.
function(_vek_rendre_png svg png largeur hauteur)
  add_custom_command(OUTPUT "${png}"
    COMMAND "${VEK_RSVG_CONVERT}" --width=${largeur} --height=${hauteur} --format=png
            --output "${png}" "${svg}"
    DEPENDS "${svg}"
    COMMENT "Rendu de ${png}"
    VERBATIM)
endfunction()

# vek_images_rendues(<cible> <dossier des SVG> <dessins...> ICONE <svg> TAILLES_ICONE <n...>)
# Range dans les ressources de <cible>, sous /fenetres : <nom>.png et <nom>@2x.png pour chaque
# dessin, <icône>-<n>.png pour chaque taille de l'icône. Pose VEK_ICONE_ICO (l'icône Windows
# générée) dans la portée de l'appelant.
function(vek_images_rendues cible dossier)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "ICONE" "DESSINS;TAILLES_ICONE")
  set(sortie "${CMAKE_CURRENT_BINARY_DIR}/images")
  file(MAKE_DIRECTORY "${sortie}")
  set(pngs)
  foreach(dessin IN LISTS arg_DESSINS)
    get_filename_component(nom "${dessin}" NAME_WE)
    set(svg "${dossier}/${dessin}")
    _vek_taille_svg("${svg}" l h)
    math(EXPR l2 "${l} * 2")
    math(EXPR h2 "${h} * 2")
    _vek_rendre_png("${svg}" "${sortie}/${nom}.png" ${l} ${h})
    _vek_rendre_png("${svg}" "${sortie}/${nom}@2x.png" ${l2} ${h2})
    list(APPEND pngs "${sortie}/${nom}.png" "${sortie}/${nom}@2x.png")
  endforeach()
  get_filename_component(nom_icone "${arg_ICONE}" NAME_WE)
  set(icones)
  foreach(n IN LISTS arg_TAILLES_ICONE)
    _vek_rendre_png("${dossier}/${arg_ICONE}" "${sortie}/${nom_icone}-${n}.png" ${n} ${n})
    list(APPEND icones "${sortie}/${nom_icone}-${n}.png")
  endforeach()
  list(APPEND pngs ${icones})
  qt_add_resources(${cible} images_rendues PREFIX /fenetres BASE "${sortie}" FILES ${pngs})

  # L'icône Windows : les PNG de l'icône rangés tels quels dans un .ico, par un script sh (là où
  # il n'y a pas de sh, Visual Studio seul, l'exécutable reste sans icône).
  find_program(VEK_SH sh)
  if(NOT VEK_SH)
    message(STATUS "sh introuvable : VEK_Log.exe n'aura pas d'icône.")
    set(VEK_ICONE_ICO "" PARENT_SCOPE)
    return()
  endif()
  set(ico "${sortie}/${nom_icone}.ico")
  add_custom_command(OUTPUT "${ico}"
    COMMAND "${VEK_SH}" "${PROJECT_SOURCE_DIR}/cmake/icone-ico.sh" "${ico}" ${icones}
    DEPENDS ${icones} "${PROJECT_SOURCE_DIR}/cmake/icone-ico.sh"
    COMMENT "Icône Windows ${ico}"
    VERBATIM)
  set(VEK_ICONE_ICO "${ico}" PARENT_SCOPE)
endfunction()
