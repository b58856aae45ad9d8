# Script mode, run at build time: writes the bash completion of lumark-tool from TEMPLATE to
# OUTPUT, with the table of commands, options and option values read from `TOOL --help`:
# - each usage line ("lumark-tool COMMAND ARGS...") names a command and the options it takes;
# - the option list tells which options take a value ("  --cell PIXELS  the size ...");
# - a value named OUT or FILE is a file name;
# - "A|B" after such an option in a usage line lists the values offered for it;
# - options in the list that no usage line names belong to the tool as a whole (--version).
# Words that could not be plain shell words are left out rather than quoted.
# Usage: cmake -DTOOL=... -DTEMPLATE=... -DOUTPUT=... -P WriteBashCompletion.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} --help failed (${status})")
endif()
get_filename_component(tool_name ${TOOL} NAME)

set(option_pattern "--?[A-Za-z0-9][a-z0-9-]*")
set(value_pattern "[A-Za-z0-9._+-]+")

set(value_options)
set(file_options)  # whose value is a file name
set(listed_options)
string(REGEX MATCHALL "\n +(-[A-Za-z0-9], )?--[a-z0-9-]+( [A-Z][A-Z_.]*)?  " option_lines
       "${help}")
foreach(line IN LISTS option_lines)
    string(REGEX MATCHALL "${option_pattern}" names "${line}")
    list(APPEND listed_options ${names})
    if(line MATCHES " [A-Z][A-Z_.]*  $")
        list(APPEND value_options ${names})
    endif()
    if(line MATCHES " (OUT|FILE)  $")
        list(APPEND file_options ${names})
    endif()
endforeach()

# The usage block: "Usage:" and the indented lines under it.
string(REGEX MATCH "Usage:[^\n]*(\n[ \t]+[^\n]*)*" usage "${help}")
string(REPLACE "Usage:" "" usage "${usage}")
string(REPLACE "\n" ";" usage_lines "${usage}")

set(commands)
set(command_options)
set(choice_options)
set(command_cases "")
foreach(line IN LISTS usage_lines)
    if(NOT line MATCHES "^[ \t]*${tool_name} ([a-z][a-z0-9-]*)(.*)$")
        continue()
    endif()
    set(command ${CMAKE_MATCH_1})
    string(REGEX REPLACE "[][]" " " arguments "${CMAKE_MATCH_2}")
    string(REGEX MATCHALL "[^ \t]+" words "${arguments}")
    set(options)
    set(previous "")
    foreach(word IN LISTS words)
        if(word MATCHES "^${option_pattern}$")
            list(APPEND options ${word})
        elseif(previous IN_LIST value_options AND word MATCHES "^${value_pattern}(\\|${value_pattern})+$"
               AND NOT previous IN_LIST choice_options)
            string(REPLACE "|" " " choices_${previous} "${word}")
            list(APPEND choice_options ${previous})
        endif()
        set(previous ${word})
    endforeach()
    list(APPEND commands ${command})
    list(APPEND command_options ${options})
    list(JOIN options " " options)
    string(APPEND command_cases "    ${command}) REPLY='${options}' ;;\n")
endforeach()
if(NOT commands)
    message(FATAL_ERROR "${TOOL} --help names no command in its usage lines")
endif()

set(value_cases "")
foreach(option IN LISTS choice_options)
    string(APPEND value_cases "    ${option}) REPLY='${choices_${option}}' ;;\n")
endforeach()
# The others take a number or a name: a value, but none to offer.
set(free_options ${value_options})
if(choice_options)
    list(REMOVE_ITEM free_options ${choice_options})
endif()
if(free_options)
    list(JOIN free_options " | " alternatives)
    string(APPEND value_cases "    ${alternatives}) REPLY='' ;;\n")
endif()

set(global_options)
foreach(option IN LISTS listed_options)
    if(NOT option IN_LIST command_options AND NOT option IN_LIST value_options)
        list(APPEND global_options ${option})
    endif()
endforeach()

list(JOIN commands " " LUMARK_TOOL_COMMANDS)
list(JOIN global_options " " LUMARK_TOOL_GLOBAL_OPTIONS)
list(JOIN file_options " " LUMARK_TOOL_FILE_OPTIONS)
set(LUMARK_TOOL_COMMAND_CASES "${command_cases}")
set(LUMARK_TOOL_VALUE_CASES "${value_cases}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
