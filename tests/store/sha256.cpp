// The SHA-256 helper of the engine tests, shared rather than copied.
#include "engine/jet_sha256.cpp"
