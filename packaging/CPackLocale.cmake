# Read by CPack as it runs. Its archive writer turns file names into the
# locale's character set, and the bare C locale of a fresh root shell cannot
# hold "languages/Français": the package is made under a UTF-8 locale whatever
# the shell's.
set(ENV{LC_ALL} C.UTF-8)
