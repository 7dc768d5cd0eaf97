# ovo version, help and usage errors.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
expect_status 0 -- version
expect_status 0 -- --help
expect_status 2 -- no-such-command
expect_status 2 --
expect_status 2 -- object
expect_status 2 -- object NoSuchClass /dev/null
STDIN='abc<Properties/>' expect "" 1 -- object OVO::Properties
STDIN='<Properties/>' expect "<Properties></Properties>" 0 -- object OVO::Properties
finish
