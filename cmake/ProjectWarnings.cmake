# Cible d'interface qui porte les avertissements communs du projet.
add_library(project_warnings INTERFACE)
if(MSVC)
  target_compile_options(project_warnings INTERFACE /W4)
  if(VEK_WARNINGS_AS_ERRORS)
    target_compile_options(project_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wnon-virtual-dtor)
  if(VEK_WARNINGS_AS_ERRORS)
    target_compile_options(project_warnings INTERFACE -Werror)
  endif()
endif()

# GCC 12 signale à tort des chevauchements dans std::string optimisé (-Wrestrict, bogue 105329
# de GCC) : on ne garde cet avertissement qu'avec les autres compilateurs.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(project_warnings INTERFACE -Wno-restrict)
endif()
