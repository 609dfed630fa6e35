// The process during a conversion: the interruption handler, the console
// window, the priority, and the pipeline's objects, set up once per run and
// released on every way out.
#pragma once

#include <string>

// Sets the window and the priority, activates the engine (ActivateEngine,
// before any thread, and at the run's priority, which its processes
// inherit), then installs the interruption handler and starts the encoder
// thread. Raises the engine's errors, and "Impossibile creare gli oggetti
// per l'elaborazione" when the encoder thread cannot be started.
void StartProcessing();

// Releases the engine, the encoder thread, an open stream and a partial MP3
// file, restores savedDirectory (when not empty) and frees the buffers.
// Never raises.
void ShutdownProcessing(const std::string& savedDirectory);
