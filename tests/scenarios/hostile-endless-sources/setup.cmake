# A mod's source that is a pipe nobody writes to, and one that is a link to a device
# that never ends.
execute_process(COMMAND mkfifo "${game}/mods/pipe/fifo.txt" RESULT_VARIABLE failed)
if(failed)
  set(SKIP_SCENARIO "this system makes no named pipes")
endif()
file(CREATE_LINK "/dev/zero" "${game}/mods/zero/zeros.txt" SYMBOLIC)
