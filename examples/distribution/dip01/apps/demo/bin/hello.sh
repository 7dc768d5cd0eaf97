#!/bin/sh
# The demo program: greets the machine it runs on, into the log it is given.
echo "Hello from the demo tool on $2" >"$1"
echo "demo tool: greeted $2"
