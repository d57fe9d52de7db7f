// Resource identifiers of Corvina.dll.
#pragma once

// Registration script (resource type "REGISTRY") and the embedded type library (type
// "TYPELIB"); the registration exports read both from the module itself.
#define IDR_CORVINAEXTENTION 102
#define IDR_TYPELIB 1
