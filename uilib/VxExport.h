#pragma once
// Lumette.dll exports its classes and functions by name; programs import them. The installer
// links the same sources as a static library (LUMETTE_STATIC), which neither exports nor
// imports anything.
#if defined(LUMETTE_STATIC)
#define LUMETTE_API
#elif defined(LUMETTE_BUILD)
#define LUMETTE_API __declspec(dllexport)
#else
#define LUMETTE_API __declspec(dllimport)
#endif
