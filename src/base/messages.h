// Every text that Narravox shows to its user, in one table.
#pragma once

namespace msg {

// Banner and informational stops.
inline constexpr const char* kBanner =
    "Narravox 1.06f - conversione di testi in file MP3 parlati\r\n";
inline constexpr const char* kHint = "Digitare NARRAVOX /? per visualizzare la sintassi del comando";
inline constexpr const char* kHintPosix =
    "Digitare narravox --help per visualizzare la sintassi del comando";

// Errors, prompts and reports.
inline constexpr const char* kCodeSuffix = " (codice %d)";
inline constexpr const char* kCodeReasonSuffix = " (codice %d: %s)";
inline constexpr const char* kFileNotFound = "Impossibile trovare il file \"%s\"";
inline constexpr const char* kCannotReadFile = "Impossibile leggere il file \"%s\"";
inline constexpr const char* kTitleQuestion = "Narravox - Richiesta";
inline constexpr const char* kYesNoSuffix = " (Si/No)?";
inline constexpr const char* kYes = "S";
inline constexpr const char* kYesLong = "SI";
inline constexpr const char* kNo = "N";
inline constexpr const char* kNoLong = "NO";
inline constexpr const char* kQuestionMark = "?";
inline constexpr const char* kTitleError = "Narravox - Errore";
inline constexpr const char* kErrorPrefix = "* ERRORE: ";
inline constexpr const char* kConsoleIoError = "Errore di lettura o scrittura sulla console";
inline constexpr const char* kOutOfMemory = "Memoria insufficiente";

// Command line and job list.
inline constexpr const char* kInvalidParameter = "Parametro non valido ";
inline constexpr const char* kBitrateRefused =
    "Bitrate di %d kbit/s non ammesso per file MP3 a %d Hz: a questa frequenza i bitrate "
    "vanno da %d a %d kbit/s";
inline constexpr const char* kBitrateHint = "; per %d kbit/s usare %s";
inline constexpr const char* kOr = " o ";
inline constexpr const char* kNoTextFiles = "Nessun file di testo specificato nella riga comandi";
inline constexpr const char* kRecoveryWarningLine = "ATTENZIONE!!! Non modificare questo file.";
inline constexpr const char* kRecoveryFileMissing = "Il file di ripristino non esiste";
inline constexpr const char* kRecoveryFileDamaged = "Errore nel file di ripristino";
inline constexpr const char* kRecoveryFileWrite =
    "Errore durante la scrittura del file di ripristino";
inline constexpr const char* kSearchError = "Errore cercando il percorso \"%s\"";
inline constexpr const char* kRecoveryFileBusy =
    "Un'altra conversione e' gia' in corso con il file di ripristino \"%s\"";
inline constexpr const char* kRecoveryFileKept =
    "* AVVISO: la conversione interrotta del testo \"%s\" resta nel file \"%s\"; per "
    "riprenderla: narravox /R=%s";
inline constexpr const char* kOptionAfterFiles =
    "L'opzione %s viene dopo un file: le opzioni vanno prima dei file";
inline constexpr const char* kResultsNotWritten =
    "* AVVISO: il risultato del testo \"%s\" non e' stato scritto nel file \"%s\"";
inline constexpr const char* kOtherRunsToResume =
    "Altre conversioni interrotte da riprendere: %s (narravox /R riprende la prossima)";
inline constexpr const char* kResumeHint = "Per riprendere: narravox /R";
inline constexpr const char* kResumeHintFile = "Per riprendere: narravox /R=%s";
inline constexpr const char* kDictionaryChanged =
    "* AVVISO: il dizionario (DIZIONARIO) e' cambiato dall'inizio della conversione: i file "
    "ancora da fare seguono le regole di adesso";
inline constexpr const char* kResumeWarning =
    "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino";

// Errors of the file layer, with the system's reason after them.
inline constexpr const char* kFileLayerOpen = "Cannot open file \"%s\". %s";
inline constexpr const char* kFileLayerCreate = "Cannot create file \"%s\". %s";

// Configuration and engine location.
inline constexpr const char* kConfigLineError = "Errore nel file di configurazione, riga ";
inline constexpr const char* kConfigLineProblem =
    "Errore nel file di configurazione \"%s\", riga %s: %s";
inline constexpr const char* kSettingWithoutEquals = "manca il segno \"=\" (CHIAVE=valore)";
inline constexpr const char* kUnknownSettingKey = "la chiave \"%s\" non esiste";
inline constexpr const char* kSettingValueRefused = "il valore \"%s\" di %s non va bene: ";
inline constexpr const char* kConfigUpdated = "Aggiornato il file NARRAVOX.INI";
inline constexpr const char* kConfigUpdatedAt = "Aggiornato il file di configurazione \"%s\"";
inline constexpr const char* kStarterConfigHeader =
    "[Narravox]\r\n"
    "; Impostazioni di Narravox, una riga CHIAVE=valore ciascuna (man narravox).\r\n"
    "; Le opzioni della riga comandi (/CHIAVE=valore) prevalgono su queste righe.\r\n";
inline constexpr const char* kEngineNotFound =
    "Impossibile trovare la DLL della sintesi vocale; digitare il comando\r\n"
    "NARRAVOX /ECISETUP=nomefile o NARRAVOX /ECISETUP=cartella per specificarne\r\n"
    "la posizione";
inline constexpr const char* kEngineNotFoundPosix =
    "Impossibile trovare la libreria della sintesi vocale; per indicarla: narravox "
    "/ECISETUP=file o narravox /ECISETUP=cartella";
inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";

// The long help (--help), made from the settings' table.
inline constexpr const char* kHelpUsage =
    "Uso: narravox [opzioni] [--] file|@lista [file ...]\r\n"
    "     narravox /R[=file] [opzioni]   riprende una conversione interrotta\r\n"
    "     narravox /TEST [opzioni] file  legge il testo ad alta voce, senza scrivere file\r\n"
    "     narravox /ECISETUP=file|cartella  indica la libreria della sintesi vocale\r\n"
    "\r\n"
    "Ogni testo diventa una cartella di file MP3 numerati (001.mp3, 002.mp3 ...) nella\r\n"
    "cartella di destinazione. Le opzioni vanno prima dei file, nella forma\r\n"
    "/CODICE=valore o /CHIAVE=valore (maiuscole e minuscole sono uguali); -- termina\r\n"
    "le opzioni. Le stesse impostazioni, una riga CHIAVE=valore ciascuna, vanno nel\r\n"
    "file di configurazione ~/.config/narravox/narravox.INI. Altro in: man narravox";
inline constexpr const char* kHelpOptionLine = "  %s: %s; %s (predefinito: %s)";
inline constexpr const char* kHelpNoDefault = "nessuno";
inline constexpr const char* kHelpGroupReading = "Cosa leggere e come:";
inline constexpr const char* kHelpGroupWriting = "Dove scrivere:";
inline constexpr const char* kHelpGroupVoice = "Voce:";
inline constexpr const char* kHelpGroupFiles = "File MP3:";
inline constexpr const char* kHelpGroupRunning = "Esecuzione:";
inline constexpr const char* kHelpRequests =
    "Richieste:\r\n"
    "  /TEST: legge i testi ad alta voce invece di scrivere i file\r\n"
    "  /ELENCO, --elenco: mostra senza convertire tipo, titolo, autore, capitoli e file MP3 di ogni testo\r\n"
    "  /R, /RIPRENDI[=file]: riprende la conversione interrotta (file: il suo file di ripristino)\r\n"
    "  /ECISETUP=file|cartella: registra dove si trova la libreria della sintesi vocale\r\n"
    "  --voci, /V=?: elenca le voci della sintesi, con il numero e il nome da dare a /V=\r\n"
    "  --prova-voce [opzioni]: legge una frase di prova con voce, velocita', tonalita' e volume\r\n"
    "  --prova-voce senza dispositivo audio: scrive la frase nel file prova-voce.mp3 della destinazione\r\n"
    "  -h, --help: questo aiuto; /?: l'aiuto breve; --version: la versione\r\n"
    "Codici di uscita: 0 tutto convertito, 1 testi saltati o errore durante la conversione,\r\n"
    "2 errore prima della conversione (opzioni, configurazione, librerie), 130 o 143 interrotto";

// Words of the settings' tables that are also the program's own strings.
inline constexpr const char* kWordAuto = "AUTO";
inline constexpr const char* kWordAutoShort = "A";
inline constexpr const char* kWordWindows = "WINDOWS";
inline constexpr const char* kWordWindowsShort = "W";
inline constexpr const char* kWordDos = "DOS";
inline constexpr const char* kWordDosShort = "D";
inline constexpr const char* kWordLow = "BASSA";
inline constexpr const char* kWordNormal = "NORMALE";
inline constexpr const char* kWordHigh = "ALTA";
inline constexpr const char* kWordUtf8 = "UTF8";
inline constexpr const char* kWordUtf8Short = "U";
inline constexpr const char* kWordId3V2 = "V2";
inline constexpr const char* kWordMp3 = "MP3";

// Progress and the end of a run in words (POSIX).
inline constexpr const char* kUnderASecond = "meno di un secondo";
inline constexpr const char* kOneSecond = "1 secondo";
inline constexpr const char* kSecondsMany = "%s secondi";
inline constexpr const char* kOneMinute = "1 minuto";
inline constexpr const char* kMinutesMany = "%s minuti";
inline constexpr const char* kOneHour = "1 ora";
inline constexpr const char* kHoursMany = "%s ore";
inline constexpr const char* kAnd = " e ";
inline constexpr const char* kRemainingUnderASecond = "manca meno di un secondo";
inline constexpr const char* kRemainingOne = "manca circa %s";
inline constexpr const char* kRemainingMany = "mancano circa %s";
inline constexpr const char* kProgressText = "Testo %s di %s, \"%s\": %s";
inline constexpr const char* kProgressFile = "File %s di %s (%s): %s";
inline constexpr const char* kSpeechSoFar = "Audio sintetizzato: %s";
inline constexpr const char* kSummaryTexts = "Testi convertiti: %s; saltati: %s";
inline constexpr const char* kSummaryTextsRead = "Testi letti: %s; saltati: %s";
inline constexpr const char* kSummaryFiles = "File MP3 creati: %s, con %s di audio";
inline constexpr const char* kSummaryNoFiles = "File MP3 creati: 0";
inline constexpr const char* kSummaryElapsed = "Tempo impiegato: %s";

// Conversion driver.
inline constexpr const char* kLibraryFolderNotFound = "Impossibile trovare la libreria \"%s\"";
inline constexpr const char* kConversionDone = "Conversione terminata correttamente";
inline constexpr const char* kConversionDoneSkipped = "Conversione terminata; testi saltati: %d";
inline constexpr const char* kTitleInfo = "Narravox - Info";
inline constexpr const char* kCannotCreateFile = "Impossibile creare il file \"%s\"";
inline constexpr const char* kCannotCreateFolder = "Impossibile creare la cartella \"%s\"";
inline constexpr const char* kCannotMoveFile = "Impossibile spostare il file \"%s\"";
inline constexpr const char* kInterrupted = "\r\n\b** Interrotto dall'utente **";
inline constexpr const char* kDestinationFolder = "Cartella di destinazione: \"%s\"";
inline constexpr const char* kTextIsFolder =
    "* ERRORE: \"%s\" e' una cartella, non un file di testo, e viene saltato";
inline constexpr const char* kTextNotAFile =
    "* ERRORE: \"%s\" non e' un file ma un dispositivo, una pipe o un socket, e viene saltato";
inline constexpr const char* kTextEmpty = "* ERRORE: il testo \"%s\" e' vuoto e viene saltato";
inline constexpr const char* kTextFolderBusy =
    "* ERRORE: il testo \"%s\" viene saltato: la sua cartella \"%s\" e' in uso da un'altra "
    "conversione%s";
inline constexpr const char* kOldFilesKept =
    "* ERRORE: il testo \"%s\" viene saltato: i vecchi file MP3 della cartella \"%s\" non sono "
    "stati cancellati";

// Texts.
inline constexpr const char* kReadError = "Errore durante la lettura del file \"%s\"";
inline constexpr const char* kDoubtfulTextType =
    "* AVVISO: riconoscimento del tipo di testo %s dubbio";
inline constexpr const char* kTextTypeDos = "DOS";
inline constexpr const char* kTextTypeWindows = "Windows";
inline constexpr const char* kInvalidUtf8Bytes =
    "* AVVISO: il testo \"%s\" e' in UTF-8 ma contiene %d byte non validi, letti come "
    "caratteri Windows";
inline constexpr const char* kNotATextFile =
    "* ERRORE: il file \"%s\" non e' un file di testo (%s) e viene saltato";
inline constexpr const char* kDocumentNotText =
    "* ERRORE: il file \"%s\" non e' un file di testo ma un documento %s: salvarlo prima "
    "come testo; viene saltato";
inline constexpr const char* kDocumentNotRead =
    "* ERRORE: il file \"%s\" e' un documento %s, che questa versione del programma non legge: "
    "salvarlo prima come testo; viene saltato";
inline constexpr const char* kDocumentUnreadable =
    "* ERRORE: il documento \"%s\" (%s) non si puo' leggere: %s; viene saltato";
inline constexpr const char* kPdfNotRead =
    "* ERRORE: il file \"%s\" e' un documento PDF, che questa versione non legge ancora (una "
    "versione futura potra' leggerlo): salvarlo prima come testo; viene saltato";
inline constexpr const char* kTextChangedSinceCheckpoint =
    "* ERRORE: il testo \"%s\" e' cambiato dopo l'interruzione e non puo' essere ripreso; "
    "viene saltato: convertirlo di nuovo senza /R";
// The listing of what a run would make (/ELENCO).
inline constexpr const char* kListingText = "Testo %s di %s: \"%s\"";
inline constexpr const char* kListingKind = "  Tipo: %s";
inline constexpr const char* kListingTitle = "  Titolo: \"%s\"";
inline constexpr const char* kListingAuthor = "  Autore: \"%s\"";
inline constexpr const char* kListingLanguage = "  Lingua: %s";
inline constexpr const char* kListingFolder = "  Cartella: \"%s\"";
inline constexpr const char* kListingChapters = "  Capitoli: %s";
inline constexpr const char* kListingChapter = "    %s. \"%s\" (livello %s, %s caratteri)";
inline constexpr const char* kListingFiles = "  File MP3: %s";
inline constexpr const char* kListingFile = "    %s";
inline constexpr const char* kListingTitledFile = "    %s: \"%s\"";
inline constexpr const char* kListingDone = "Testi elencati: %s; saltati: %s; file MP3 che la conversione creerebbe: %s";
inline constexpr const char* kKindProgram = "programma";
inline constexpr const char* kKindZip = "archivio ZIP";
inline constexpr const char* kKindRar = "archivio RAR";
inline constexpr const char* kKind7z = "archivio 7z";
inline constexpr const char* kKindGzip = "archivio gzip";
inline constexpr const char* kKindPng = "immagine PNG";
inline constexpr const char* kKindJpeg = "immagine JPEG";
inline constexpr const char* kKindGif = "immagine GIF";
inline constexpr const char* kKindMp3 = "audio MP3";
inline constexpr const char* kKindRiff = "audio o video RIFF";
inline constexpr const char* kKindOgg = "audio Ogg";
inline constexpr const char* kKindOldWord = "Word (.doc)";
inline constexpr const char* kKindControls = "contiene caratteri di controllo";

// Folders and identifier clips.
inline constexpr const char* kAskDeleteMp3 =
    "Vuoi cancellare i file MP3 contenuti nella cartella \"%s\"";
inline constexpr const char* kFolderClipFiles = "Cartella testi %s: file da %d a %d di %d";
inline constexpr const char* kFolderClipGroups = "Cartella testi %s: %d gruppi, %d file";
inline constexpr const char* kFileClip = "%s, file %d";
inline constexpr const char* kFolderBesideFile =
    "* AVVISO: nella destinazione c'e' gia' il file \"%s\": i file del testo \"%s\" vanno nella "
    "cartella \"%s\"";
inline constexpr const char* kTextsShareFolder =
    "* AVVISO: i testi \"%s\" e \"%s\" hanno lo stesso nome: i file del secondo vanno nella "
    "cartella \"%s\"";
inline constexpr const char* kNoSpeexClips =
    "* AVVISO: clip Speex non disponibili in questa versione, clip RockBox in formato MP3";

// ID3 tag.
// The metadata of a DAISY book that the input does not give.
inline constexpr const char* kDaisyNarrator = "sintesi vocale, voce %s (%s)";
inline constexpr const char* kDaisyNarratorEngine = "sintesi vocale, voce predefinita del motore";
inline constexpr const char* kDaisyUnknownAuthor = "autore sconosciuto";
inline constexpr const char* kDaisyPublisher = "Narravox";
inline constexpr const char* kTagArtist = "Narravox 1.06f";
inline constexpr const char* kTagComment = "Creato con Narravox";

// Progress.
inline constexpr const char* kHours = "h";
inline constexpr const char* kMinutes = "m";
inline constexpr const char* kSeconds = "s";

// Audio pipeline, engine and encoder.
inline constexpr const char* kOutOfMemoryCode = "Memoria insufficiente (codice %d, %d bytes)";
inline constexpr const char* kWriteError = "Errore durante la scrittura del file \"%s\"";
inline constexpr const char* kEngineActivation = "Impossibile attivare la sintesi vocale richiesta";
inline constexpr const char* kEngineError = "Errore dell'engine di sintesi vocale (codice %d)";
inline constexpr const char* kEngineInfo = ";\r\n(info addizionali dell'engine: \"%s\")";
inline constexpr const char* kNoAudioDevice =
    "Nessun dispositivo audio per leggere il testo ad alta voce (/TEST): collegare una scheda "
    "audio o avviare il server audio (PulseAudio o PipeWire), oppure convertire il testo in file "
    "MP3 senza /TEST";
inline constexpr const char* kAudioDeviceFailed =
    "Impossibile usare il dispositivo audio per leggere il testo ad alta voce (/TEST): controllare "
    "la scheda audio o che il server audio (PulseAudio o PipeWire) sia avviato e raggiungibile, "
    "oppure convertire il testo in file MP3 senza /TEST";
inline constexpr const char* kEncoderError = "Errore encoder MP3 (codice %d)";
inline constexpr const char* kLoadLibError = "Impossibile caricare la libreria %s, errore codice %d";
inline constexpr const char* kGetProcError = "Impossibile trovare la funzione %s nella DLL %s";
inline constexpr const char* kProcessingObjects =
    "Impossibile creare gli oggetti per l'elaborazione";

// The lock of the RecoveryFile.
inline constexpr const char* kRecoveryFolderReadOnly =
    "Impossibile usare il file di ripristino \"%s\": la cartella \"%s\" non e' scrivibile";
inline constexpr const char* kRecoveryLockFailed =
    "Impossibile usare il file di ripristino \"%s\": il file \"%s\" non si puo' aprire";
inline constexpr const char* kRecoveryLockHolder = " (processo %s dell'utente %s su %s)";

// Worker processes.
inline constexpr const char* kWorkerEnded =
    "Un processo di conversione si e' chiuso in modo inatteso (file \"%s\")";
inline constexpr const char* kNoParallelHere =
    "* AVVISO: PARALLELI=%d non disponibile in questa versione: un file alla volta";

// Voices: the preset voices 1 to 8 of the engine, each with the name that
// /V= takes besides its number and how it sounds; their list (--voci, /V=?)
// and the sample of a voice (--prova-voce).
inline constexpr const char* kVoiceNames[8] = {"uomo",  "donna", "bambino", "baritono",
                                               "uomo2", "nonna", "nonno",   "donna2"};
inline constexpr const char* kVoiceSounds[8] = {"maschile, voce media",
                                                "femminile, voce media",
                                                "di bambino, voce acuta",
                                                "maschile, voce profonda",
                                                "maschile, voce media, altro timbro",
                                                "femminile, voce anziana",
                                                "maschile, voce anziana",
                                                "femminile, voce media, altro timbro"};
inline constexpr const char* kVoiceListHeader =
    "Voci della sintesi vocale, da scegliere con /V=numero o /V=nome:";
inline constexpr const char* kVoiceLine = "%s  %s: %s";
inline constexpr const char* kVoiceLineNamed = "%s  %s: %s (voce %s della sintesi)";
inline constexpr const char* kVoiceDefaultLine = "0  quella predefinita della sintesi";
inline constexpr const char* kVoiceRequestFiles =
    "La richiesta %s non prende file di testo: togliere \"%s\"";
inline constexpr const char* kVoiceSampleText =
    "Buongiorno, sono la voce che hai scelto per ascoltare i tuoi libri. Ti piace come leggo?";
inline constexpr const char* kVoiceSampleFile = "prova-voce.mp3";
inline constexpr const char* kVoiceSampleInFile =
    "Nessun dispositivo audio: il campione della voce e' nel file \"%s\"";

}  // namespace msg
