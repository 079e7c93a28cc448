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
