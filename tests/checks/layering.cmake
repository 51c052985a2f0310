# The layering of the sources, read one way: classlib <- skin/engine <- skin/windows, skin/controls.
#  - the class library includes nothing of the skin;
#  - the engine includes nothing of the window adapters or the skinned controls;
#  - the window adapters and the skinned controls include nothing of each other;
#  - portable code (every core/ folder) includes no Windows header and no project header outside a
#    core/ folder.
# Inclusions that break a rule today and are being removed are listed in layering-allowed.txt
# ("<file> <included header>"); the list only shrinks: an entry that no longer applies is an error.
#
#   cmake -DROOT=<source folder> -P layering.cmake
set(windows_headers "windows|windowsx|win[a-z0-9_]*|commctrl|commdlg|shellapi|shlobj|shlwapi|ole2|objbase|oleauto|olectl|objidl|ocidl|unknwn|wtypes|uxtheme|vssym32|wincodec|mmsystem|richedit|dwmapi|imm|psapi|tlhelp32|tchar")

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/classlib/*.h ${ROOT}/classlib/*.cpp ${ROOT}/skin/*.h
  ${ROOT}/skin/*.cpp ${ROOT}/tests/*/core/*.h ${ROOT}/tests/*/core/*.cpp)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/layering-allowed.txt allowed REGEX "^[^#]")

set(found "")
set(failures 0)
foreach(file ${files})
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" match "${line}")
    set(header "${CMAKE_MATCH_1}")
    string(TOLOWER "${header}" lower)
    set(rule "")
    if(file MATCHES "^classlib/" AND header MATCHES "^skin/")
      set(rule "the class library includes the skin")
    elseif(file MATCHES "^skin/engine/" AND header MATCHES "^skin/(windows|controls)/")
      set(rule "the engine includes an upper layer")
    elseif(file MATCHES "^skin/windows/" AND header MATCHES "^skin/controls/")
      set(rule "the window adapters include the skinned controls")
    elseif(file MATCHES "^skin/controls/" AND header MATCHES "^skin/windows/")
      set(rule "the skinned controls include the window adapters")
    endif()
    if(file MATCHES "/core/")
      if(lower MATCHES "^(${windows_headers})\\.h$")
        set(rule "portable code includes a Windows header")
      elseif(header MATCHES "^(classlib|skin|tests)/" AND NOT header MATCHES "/core/")
        set(rule "portable code includes a header outside the portable core")
      endif()
    endif()
    if(rule)
      list(FIND allowed "${file} ${header}" index)
      if(index GREATER -1)
        list(APPEND found "${file} ${header}")
      else()
        message("${file}: includes ${header}: ${rule}")
        math(EXPR failures "${failures} + 1")
      endif()
    endif()
  endforeach()
endforeach()

foreach(entry ${allowed})
  list(FIND found "${entry}" index)
  if(index EQUAL -1)
    message("layering-allowed.txt: \"${entry}\" no longer applies: remove the line")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering fault(s)")
endif()
list(LENGTH files count)
message("${count} files follow the layering")
