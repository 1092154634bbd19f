# Installs the build under a fresh prefix (with a space in it) and uses it from there: every
# file in its usual place, under one application id, and the installed tagwright-cli names
# its version and finds its data through the install layout, with none beside it.
# Takes BUILD_DIR, WORK_DIR, APP_ID, VERSION, WITH_WINDOW and CLI_MAN.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/a prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}): ${err}")
endif()

set(expected
  bin/tagwright-cli
  share/tagwright/qdx.dat share/tagwright/cwds_en.txt share/tagwright/cwds_en_de_es_pt_it_fr.txt
  share/tagwright/manual.html
  share/bash-completion/completions/tagwright-cli
  share/doc/tagwright/copyright share/doc/tagwright/changelog.gz)
if(CLI_MAN)
  list(APPEND expected share/man/man1/tagwright-cli.1.gz)
endif()
if(WITH_WINDOW)
  list(APPEND expected
    bin/tagwright share/man/man1/tagwright.1.gz share/tagwright/tagwright-window.png
    share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/icons/hicolor/128x128/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(EXISTS "${prefix}/bin/qdx.dat")
  message(FATAL_ERROR "program data installed beside the programs")
endif()

if(WITH_WINDOW)
  # The desktop entry names the icon and the program; the metainfo names itself and the entry.
  file(STRINGS "${prefix}/share/applications/${APP_ID}.desktop" entry)
  foreach(line "Icon=${APP_ID}" "Exec=tagwright %f")
    if(NOT line IN_LIST entry)
      message(FATAL_ERROR "desktop entry lacks '${line}'")
    endif()
  endforeach()
  file(READ "${prefix}/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
  foreach(text "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
    string(FIND "${metainfo}" "${text}" at)
    if(at LESS 0)
      message(FATAL_ERROR "metainfo lacks '${text}'")
    endif()
  endforeach()
endif()

execute_process(COMMAND "${prefix}/bin/tagwright-cli" --version
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "tagwright-cli ${VERSION}\n")
  message(FATAL_ERROR "tagwright-cli --version: status ${status}, output '${out}', stderr '${err}'")
endif()

file(WRITE "${WORK_DIR}/garden.html"
  "<html><head><title>Garden tools</title></head>\r\n"
  "<body><p>Garden tools for every garden. Tools tools.</p></body></html>\r\n")
execute_process(COMMAND "${prefix}/bin/tagwright-cli" tag garden.html
                WORKING_DIRECTORY "${WORK_DIR}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
# "for" is a common English word: the list was read.
if(NOT status EQUAL 0 OR NOT out MATCHES "^<meta name=\"keywords\" content=\"tools, Garden\">\n")
  message(FATAL_ERROR "installed tagwright-cli tag: status ${status}, output '${out}', stderr '${err}'")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
