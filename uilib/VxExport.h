#pragma once
// Lumette.dll exports its classes and functions by name; programs import them.
#ifdef LUMETTE_BUILD
#define LUMETTE_API __declspec(dllexport)
#else
#define LUMETTE_API __declspec(dllimport)
#endif
