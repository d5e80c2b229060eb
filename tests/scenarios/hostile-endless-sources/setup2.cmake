# The user profile is a link to a device that never ends.
file(REMOVE "${game}/qel2_program/qel/userprofile.txt")
file(CREATE_LINK "/dev/zero" "${game}/qel2_program/qel/userprofile.txt" SYMBOLIC)
