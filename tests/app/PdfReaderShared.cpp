// The print layer's tests already read printed PDF files back; the window's print tests use
// the same reader rather than a second copy of it.
#include "print/PdfReader.cpp"
