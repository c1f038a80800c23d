# The orbicutter package: orbicutter::orbicutter computes with 8-byte reals,
# orbicutter::orbicutter_sp with 4-byte reals; both bring the headers <orbicutter/...>.
include("${CMAKE_CURRENT_LIST_DIR}/orbicutterTargets.cmake")
