# ostrel_forbid_links(TARGETS <targets...> FORBIDDEN <libraries...>)
#
# Stops the configuration when one of the targets links one of the forbidden
# libraries, directly or through any library it links. Cores stay headless
# (no Qt5::Widgets) and never reach the process-wide configuration; this is
# where that is held, not in a reviewer's memory. Call it once every target
# and its links exist.
function(ostrel_forbid_links)
  cmake_parse_arguments(L "" "" "TARGETS;FORBIDDEN" ${ARGN})
  foreach(target ${L_TARGETS})
    set(queue ${target})
    set(visited "")
    while(queue)
      list(POP_FRONT queue current)
      if(current IN_LIST visited)
        continue()
      endif()
      list(APPEND visited ${current})
      set(links "")
      foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(value ${current} ${property})
        if(value)
          list(APPEND links ${value})
        endif()
      endforeach()
      foreach(link ${links})
        # A static library's private links come back wrapped for its users.
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(link IN_LIST L_FORBIDDEN)
          message(FATAL_ERROR
            "${target} links ${link} (through ${current}); a core library must not")
        endif()
        if(TARGET ${link})
          list(APPEND queue ${link})
        endif()
      endforeach()
    endwhile()
  endforeach()
endfunction()
