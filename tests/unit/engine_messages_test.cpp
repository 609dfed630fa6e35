// The engine's failures as the user reads them on Linux: the explanations
// of the engine library (plugins/eci-espeak) in Italian, and the messages
// of reading aloud without a usable audio output.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "audio/eci_engine.h"

namespace {

TEST(EngineMessages, KnownExplanationsAreItalianDetailsIncluded) {
  EXPECT_EQ(ItalianEngineExplanation("espeak-ng synthesis failed: The text encoding is not supported"),
            "sintesi di espeak-ng non riuscita: codifica del testo non supportata");
  EXPECT_EQ(ItalianEngineExplanation("espeak-ng has no voice \"it+f9\": The specified espeak-ng "
                                     "voice does not exist"),
            "espeak-ng non ha la voce \"it+f9\": la voce di espeak-ng indicata non esiste");
  EXPECT_EQ(ItalianEngineExplanation("voice parameter 2 takes 40 to 422, not 500"),
            "il parametro della voce 2 va da 40 a 422, non 500");
  EXPECT_EQ(ItalianEngineExplanation("espeak-ng output set-up failed: Unspecified error 0x100011ff"),
            "preparazione dell'uscita audio di espeak-ng non riuscita: errore non specificato "
            "0x100011ff");
  // The system's reason, as strerror gives it in the library's process.
  EXPECT_EQ(ItalianEngineExplanation(std::string("espeak-ng initialisation failed: ") +
                                     std::strerror(ENOENT)),
            "inizializzazione di espeak-ng non riuscita: file o cartella inesistente");
  // A longer text that begins as a known one is not that one.
  EXPECT_EQ(ItalianEngineExplanation("no text here"), "no text here");
}

TEST(EngineMessages, UnknownTextsPassThroughAsTheyStand) {
  EXPECT_EQ(ItalianEngineExplanation("injected failure of eciAddText (call 3)"),
            "injected failure of eciAddText (call 3)");
  EXPECT_EQ(ItalianEngineExplanation("resampling failed: bad soxr state"),
            "conversione della frequenza di campionamento non riuscita: bad soxr state");
  EXPECT_EQ(ItalianEngineExplanation(""), "");
}

TEST(EngineMessages, FailedCallsReadAsOneMessage) {
  EXPECT_EQ(EngineErrorMessage(3, "espeak-ng synthesis failed: Compile error"),
            "Errore dell'engine di sintesi vocale (codice 3);\r\n(info addizionali dell'engine: "
            "\"sintesi di espeak-ng non riuscita: errore di compilazione\")");
  EXPECT_EQ(EngineErrorMessage(2, ""), "Errore dell'engine di sintesi vocale (codice 2)");
  EXPECT_EQ(EngineErrorMessage(4, "no audio output device is available to speak on"),
            "Nessun dispositivo audio per leggere il testo ad alta voce (/TEST): collegare una "
            "scheda audio o avviare il server audio (PulseAudio o PipeWire), oppure convertire "
            "il testo in file MP3 senza /TEST");
  EXPECT_EQ(EngineErrorMessage(3, "espeak-ng synthesis failed: Cannot initialize the audio device")
                .rfind("Impossibile usare il dispositivo audio per leggere il testo ad alta voce "
                       "(/TEST): ",
                       0),
            0u);
  // Status 4 of another engine is no missing audio output.
  EXPECT_EQ(EngineErrorMessage(4, "injected failure of eciSynchronize (call 1)"),
            "Errore dell'engine di sintesi vocale (codice 4);\r\n(info addizionali dell'engine: "
            "\"injected failure of eciSynchronize (call 1)\")");
}

}  // namespace
