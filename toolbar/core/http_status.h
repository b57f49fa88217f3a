#pragma once
// The user-facing text for an HTTP status that ended a fetch.

// The text for code, or nullptr for a code the client has no text for (the caller then
// keeps its previous error text).
const wchar_t* HttpStatusText(int code);
