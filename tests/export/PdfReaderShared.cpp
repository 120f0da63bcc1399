// Exports to PDF are read back as printed pages are, with the print tests' reader.
#include "print/PdfReader.cpp"
