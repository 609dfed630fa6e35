// The process during a conversion: the interruption handler, the console
// window, the priority, and the pipeline's objects, set up once per run and
// released on every way out.
#pragma once

#include <string>

// Raises "Impossibile creare gli oggetti per l'elaborazione" when the
// encoder thread cannot be started.
void StartProcessing();

// Releases the engine, the encoder thread, an open stream and a partial MP3
// file, restores savedDirectory (when not empty) and frees the buffers.
// Never raises.
void ShutdownProcessing(const std::string& savedDirectory);
