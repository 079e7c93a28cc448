# Ce que VEK_Log.exe emporte dans son dossier sous Windows, posé par cmake --install à côté des
# deux programmes : de quoi tourner sur une machine où rien n'est installé.
#   - Qt6Core, Qt6Gui, Qt6Widgets ;
#   - platforms/qwindows.dll (le greffon d'affichage), styles/qwindowsvistastyle.dll (le style) ;
#   - les DLL d'exécution de gcc (modèle de fils posix) dont dépendent Qt et VEK_Log.
# Aucun greffon d'images : les images du programme sont des PNG, que Qt6Gui lit lui-même.

foreach(_module IN ITEMS Core Gui Widgets)
  install(FILES "$<TARGET_FILE:Qt6::${_module}>" DESTINATION . COMPONENT programmes)
endforeach()
install(FILES "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>"
  DESTINATION platforms COMPONENT programmes)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>"
    DESTINATION styles COMPONENT programmes)
endif()

# Les DLL d'exécution, là où le compilateur croisé les prend lui-même (libstdc++ et libgcc_s à
# côté du compilateur posix, libwinpthread dans les bibliothèques de mingw-w64).
foreach(_dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${_dll}
    OUTPUT_VARIABLE _chemin OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_chemin}" OR NOT EXISTS "${_chemin}")
    message(FATAL_ERROR "${_dll} introuvable par ${CMAKE_CXX_COMPILER} : installez "
                        "g++-mingw-w64-x86-64-posix.")
  endif()
  get_filename_component(_chemin "${_chemin}" REALPATH)
  install(FILES "${_chemin}" DESTINATION . COMPONENT programmes)
endforeach()

# Les DLL livrées perdent leurs symboles de mise au point (libstdc++ de Debian en garde une
# vingtaine de mégaoctets) ; les programmes, eux, sont réduits par CPACK_STRIP_FILES.
if(CMAKE_STRIP)
  install(CODE "
    file(GLOB_RECURSE _dll \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
    foreach(_f IN LISTS _dll)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${_f}\" RESULT_VARIABLE _r)
      if(NOT _r EQUAL 0)
        message(FATAL_ERROR \"Échec de ${CMAKE_STRIP} sur \${_f}\")
      endif()
    endforeach()" COMPONENT programmes)
endif()
