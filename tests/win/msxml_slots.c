/* Positions in the MSXML document's method table, for the test that watches what the panel sets
   on its documents: C sees the table as a struct. */
#define COBJMACROS
#include <windows.h>
#include <msxml2.h>
#include <stddef.h>

const size_t kMsxmlSetPropertySlot = offsetof(IXMLDOMDocument2Vtbl, setProperty) / sizeof(void*);
const size_t kMsxmlLoadSlot = offsetof(IXMLDOMDocument2Vtbl, load) / sizeof(void*);
