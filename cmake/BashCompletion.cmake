# Bash completion of lumark-tool's commands, options, option values and file names. Its table
# is read from `lumark-tool --help` at build time (cmake/WriteBashCompletion.cmake), so a new
# command or option completes once the help shows it. Installed where bash-completion looks,
# under /usr as under a prefix such as ~/.local.
set(LUMARK_BASH_COMPLETION ${CMAKE_BINARY_DIR}/completion/lumark-tool)
set(completion_template ${PROJECT_SOURCE_DIR}/resources/completion/lumark-tool.bash.in)
add_custom_command(OUTPUT ${LUMARK_BASH_COMPLETION}
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:lumark-tool> -DTEMPLATE=${completion_template}
            -DOUTPUT=${LUMARK_BASH_COMPLETION}
            -P ${PROJECT_SOURCE_DIR}/cmake/WriteBashCompletion.cmake
    DEPENDS lumark-tool ${completion_template} ${PROJECT_SOURCE_DIR}/cmake/WriteBashCompletion.cmake
    COMMENT "Writing the bash completion of lumark-tool"
    VERBATIM)
add_custom_target(lumark-completion ALL DEPENDS ${LUMARK_BASH_COMPLETION})
install(FILES ${LUMARK_BASH_COMPLETION}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
