# Manual pages lumark(1) and lumark-tool(1), made at build time by help2man from the programs'
# own --help and --version, so they never fall behind the programs; man/PROGRAM.h2m adds what
# the help does not say. Installed gzip-compressed, as man-db and Debian expect. Without
# help2man (Debian package help2man) the build goes on without them.
# Sets LUMARK_MAN_PAGES to whether they are built.
find_program(LUMARK_HELP2MAN help2man)
find_program(LUMARK_GZIP gzip)
find_program(LUMARK_SH sh)
if(NOT LUMARK_HELP2MAN OR NOT LUMARK_GZIP OR NOT LUMARK_SH)
    message(STATUS "help2man not found: the manual pages are not built")
    set(LUMARK_MAN_PAGES OFF)
    return()
endif()
set(LUMARK_MAN_PAGES ON)

set(man_sources ${PROJECT_SOURCE_DIR}/man)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
set(man_pages)
foreach(program lumark lumark-tool)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    # help2man hands its program argument to the shell, hence the quotes around the paths.
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${LUMARK_HELP2MAN} --no-info --include ${man_sources}/${program}.h2m
                --output ${page}
                "'${LUMARK_SH}' '${man_sources}/help-for-man.sh' '$<TARGET_FILE:${program}>'"
        COMMAND ${LUMARK_GZIP} -9nf ${page}
        DEPENDS ${program} ${man_sources}/${program}.h2m ${man_sources}/help-for-man.sh
        COMMENT "Writing the manual page ${program}(1)"
        VERBATIM)
    list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(lumark-man-pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
