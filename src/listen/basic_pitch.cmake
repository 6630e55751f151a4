# The basic-pitch network (src/listen/basic_pitch.h). Its files are not built in: they are fetched
# by scripts/fetch-basic-pitch.sh into .cache/ (untracked) and read at run time, and the build
# only tells the code where that folder is. The version is read from the fetch script, so that
# the two cannot disagree.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/fetch-basic-pitch.sh CANTORELA_BASIC_PITCH_VERSION_LINE
    REGEX "^basic_pitch_version=")
string(REGEX REPLACE "^basic_pitch_version=\"([^\"]+)\".*" "\\1" CANTORELA_BASIC_PITCH_VERSION
    "${CANTORELA_BASIC_PITCH_VERSION_LINE}")
if(NOT CANTORELA_BASIC_PITCH_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "cannot read basic_pitch_version from scripts/fetch-basic-pitch.sh")
endif()
target_compile_definitions(cantorela_listen PRIVATE
    CANTORELA_BASIC_PITCH_DIR="${PROJECT_SOURCE_DIR}/.cache/basic-pitch-${CANTORELA_BASIC_PITCH_VERSION}")
