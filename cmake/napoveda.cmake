# Turns the help text (Windows-1250, CR LF) into a C++ array, byte for byte.
# cmake -DVSTUP=ui/napoveda.txt -DVYSTUP=napoveda.cpp -P napoveda.cmake
file(READ "${VSTUP}" obsah HEX)
string(LENGTH "${obsah}" znaku)
math(EXPR delka "${znaku} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," pole "${obsah}")
file(WRITE "${VYSTUP}"
  "// Generated from ui/napoveda.txt.\n"
  "extern const unsigned char napoveda_kaslnk[] = {${pole}0};\n"
  "extern const unsigned long napoveda_delka = ${delka};\n")
