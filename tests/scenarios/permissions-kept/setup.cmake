# Private game files, and a mod whose files are programs, one of them set-user-id.
if(WINDOWS)
  set(SKIP_SCENARIO "permission bits are a POSIX matter")
  return()
endif()
execute_process(COMMAND sh -c umask OUTPUT_VARIABLE umask OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT umask MATCHES "^0*22$")
  set(SKIP_SCENARIO "the checks expect the usual umask 022, not ${umask}")
  return()
endif()
set(private OWNER_READ OWNER_WRITE)
file(CHMOD "${game}/qel2_program/qel/userprofile.txt" "${game}/qel2_data/default/gamedata/units.txt"
     PERMISSIONS ${private})
file(CHMOD "${game}/quill.ini" PERMISSIONS ${private} GROUP_READ)
file(CHMOD "${game}/mods/perm/units.txt" "${game}/mods/perm/tool.txt"
     PERMISSIONS ${private} OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
                 SETUID)
