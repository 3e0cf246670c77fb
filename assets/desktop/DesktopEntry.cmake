# Writes the desktop entry from its template. Used at configure time for the
# build tree's copy and at install time, so that Exec names the program
# where this installation really puts it (cmake --install --prefix may
# differ from the configured prefix).

# A path as an Exec argument: quoted when it holds a reserved character,
# with the quoting rule's escapes, then the string rule's backslash doubled.
function(zorvane_exec_argument path out)
    if(path MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
        string(REPLACE "\\" "\\\\" quoted "${path}")
        string(REPLACE "\"" "\\\"" quoted "${quoted}")
        string(REPLACE "`" "\\`" quoted "${quoted}")
        string(REPLACE "$" "\\$" quoted "${quoted}")
        string(REPLACE "\\" "\\\\" quoted "${quoted}")
        set(path "\"${quoted}\"")
    endif()
    string(REPLACE "%" "%%" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# template: the .desktop.in file; destination: the file to write; program:
# the absolute path of the installed program; app_id: the desktop id
# without ".desktop".
function(zorvane_write_desktop_entry template destination program app_id)
    zorvane_exec_argument("${program}" exec)
    file(READ "${template}" text)
    string(REPLACE "@ZORVANE_EXEC@" "${exec}" text "${text}")
    string(REPLACE "@ZORVANE_APP_ID@" "${app_id}" text "${text}")
    file(WRITE "${destination}" "${text}")
endfunction()
