// The Italian rules, rule by rule, on sentences of fortunes-it (Debian's
// Italian fortune cookies, typed in ASCII) and of the Italian passages;
// what a rule must leave alone is checked beside what it changes.
#include <gtest/gtest.h>

#include "engine/text_loading.h"
#include "italian_passages.h"
#include "reading/italian_rules.h"

namespace {

// The test sentences are written in UTF-8; the rules read Windows-1252.
std::string Cp1252(const std::string& utf8) { return Utf8ToAnsi(utf8); }

void ExpectNormalised(const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& c : cases)
    EXPECT_EQ(reading::NormaliseItalian(Cp1252(c.first)), Cp1252(c.second)) << c.first;
}

void ExpectUntouched(const std::vector<std::string>& sentences) {
  for (const std::string& s : sentences)
    EXPECT_EQ(reading::NormaliseItalian(Cp1252(s)), Cp1252(s)) << s;
}

TEST(ItalianRules, ApostropheAccentsGraveAndAcute) {
  ExpectNormalised({
      {"- Non e' mica tanto bella, la vostra casa - disse.",
       "- Non è mica tanto bella, la vostra casa - disse."},
      {"- Si da' il caso pero' che a me piaccia - disse Arthur.",
       "- Si dà il caso però che a me piaccia - disse Arthur."},
      {"E' un vero peccato che tutte le persone che sanno come far funzionare il",
       "È un vero peccato che tutte le persone che sanno come far funzionare il"},
      {"La tangenziale vi piacera' di piu', ne sono certo.",
       "La tangenziale vi piacerà di più, ne sono certo."},
      {"Perche' mai x dev'essere uguale a un numero?",
       "Perché mai x dev'essere uguale a un numero?"},
      {"tali particelle, lasciate a se', stanno in piu' luoghi contemporaneamente.",
       "tali particelle, lasciate a sé, stanno in più luoghi contemporaneamente."},
      {"Cosi' e' la vita: cio' che puo' accadere, accadra' gia' domani, finche' dura.",
       "Così è la vita: ciò che può accadere, accadrà già domani, finché dura."},
      {"Alle ventitre' un caffe' in citta', poi giu' al bar: che virtu'!",
       "Alle ventitré un caffè in città, poi giù al bar: che virtù!"},
      {"Non perdonero' mai Noe' per aver imbarcato anche una coppia di zanzare.",
       "Non perdonerò mai Noè per aver imbarcato anche una coppia di zanzare."},
      // Capitals keep their case; the typographic apostrophe counts too.
      {"PERCHE' LA CITTA' E' COSI'?", "PERCHÉ LA CITTÀ È COSÌ?"},
      {"Lui sali’ e scese.", "Lui salì e scese."},
      // Two apostrophes close a quotation; a third before them is the accent.
      {"\"Beh, mia moglie ha letto ``Una storia di due citta''', e ci sono nati",
       "\"Beh, mia moglie ha letto ``Una storia di due città'', e ci sono nati"},
  });
}

TEST(ItalianRules, NeAndSeTakeTheAccentOnlyWhereTheyMeanIt) {
  ExpectNormalised({
      {"UOVO - Ne' carne ne' pesce.", "UOVO - Né carne né pesce."},
      {"Linux _e'_ user-friendly.  Non e' ignorant-friendly ne' idiot-friendly.",
       "Linux _è_ user-friendly.  Non è ignorant-friendly né idiot-friendly."},
      // "ne'" for "nei", and Dante's "se'" for "sei".
      {"Cantava ne' campi al sole.", "Cantava ne' campi al sole."},
      {"Tu se' lo mio maestro e 'l mio autore.", "Tu se' lo mio maestro e 'l mio autore."},
  });
}

TEST(ItalianRules, ElisionsApocopesAndQuotationsStay) {
  ExpectUntouched({
      "Tutti i client di posta fanno schifo.  Questo un po' meno.",
      "\tVescovo italiano: Amodio de' Pretis",
      "- Ah, be', mo' vado; va' in pace e di' a fra' Cristoforo che sta' attento.",
      "- Quell'uomo vuole l'amico dell'anno, un'altra volta, com'era.",
      "\t\t-- Andrea 'Zuse' Balestrero, in una mail",
      "\"Questo 'telefono' ha troppi difetti per poter essere seriamente considerato",
      "al corso allievi sottufficiali...  'Gnorno'! 'Gnorno'!  Allora ho pensato",
      "infine dei pagamenti e dopo aver superato tutto 'sto po' di roba le era",
      "Scrivi 'qui' e 'qua', non 'la' o 'di'.",
  });
  // Inside a quotation a listed word keeps its accent when the quotation
  // closes later on the line.
  ExpectNormalised({
      {"Disse un 'perche' no' e se ne ando'.", "Disse un 'perché no' e se ne andò."},
      {"\"Lo so: 'e' vero', disse.", "\"Lo so: 'è vero', disse."},
  });
}

TEST(ItalianRules, AbbreviationsReadAsWords) {
  ExpectNormalised({
      {"Il sig. Rossi, la sig.ra Bianchi e la Sig.na Neri.  Sigg. passeggeri,",
       "Il signor Rossi, la signora Bianchi e la Signorina Neri.  Signori passeggeri,"},
      {"La dott.ssa Verdi, il Dott. Gialli, la prof.ssa Mori e il prof. Neri.",
       "La dottoressa Verdi, il Dottor Gialli, la professoressa Mori e il professor Neri."},
      {"Prof.: Come si chiama?  L'ing. Gatti e l'avv. Sala.",
       "Professor: Come si chiama?  L'ingegner Gatti e l'avvocato Sala."},
      {"\t   n. 175 (luglio/agosto 1997), pag. 113",
       "\t   numero 175 (luglio/agosto 1997), pagina 113"},
      {"Vedi pagg. 3-5, pp. 10-12, cap. 2, vol. 1, art. 21, fig. 3, tab. 4, pag.5.",
       "Vedi pagine 3-5, pagine 10-12, capitolo 2, volume 1, articolo 21, figura 3, tabella 4, "
       "pagina 5."},
      {"ad es. il latte, p.es. il burro, p. es. l'olio; cfr. tel. 06 1234.",
       "ad esempio il latte, per esempio il burro, per esempio l'olio; confronta telefono 06 "
       "1234."},
      {"\t\t-- Baron Rothschild, ca. 1800", "\t\t-- Baron Rothschild, circa 1800"},
      {"Roma vs. Lazio, seconda ed. riveduta.", "Roma contro Lazio, seconda edizione riveduta."},
  });
}

TEST(ItalianRules, EccPunctuatesOnlyAtTheEndOfASentence) {
  ExpectNormalised({
      {"MERLUZZI, RATTI DA LABORATORIO, ECC., MA TUTTO QUELLO",
       "MERLUZZI, RATTI DA LABORATORIO, Eccetera, MA TUTTO QUELLO"},
      {"l'inflazione, ecc. ecc. Poi venne la crisi.",
       "l'inflazione, eccetera eccetera. Poi venne la crisi."},
      {"pane, vino ecc.\r\ne poi", "pane, vino eccetera.\r\ne poi"},
      {"pane, vino ecc. e poi", "pane, vino eccetera e poi"},
      {"pane, vino ecc.", "pane, vino eccetera."},
  });
}

TEST(ItalianRules, SaintsOnlyBeforeTheirNames) {
  ExpectNormalised({
      {"Ho regalato un cactus con il biglietto: \"Odio S. Valentino,",
       "Ho regalato un cactus con il biglietto: \"Odio San Valentino,"},
      {"\t\t-- S. Agostino", "\t\t-- Sant'Agostino"},
      {"S. Maria, S. Stefano, S.Antonio e S. Eufemia.",
       "Santa Maria, Santo Stefano, Sant'Antonio e Sant'Eufemia."},
  });
  ExpectUntouched({"\t\t-- Harry S. Truman", "\t\t-- J. S. Luca", "Laboratory, Ca., sono giunti",
                   "Apri es.txt e il file n.b.", "Del ca...moscio!"});
}

TEST(ItalianRules, RomanNumeralsInCapitals) {
  ExpectNormalised({
      {"luigi xiv e pio ix", "luigi XIV e pio IX"},
      {"Carlo viii scese in Italia nel secolo xv.", "Carlo VIII scese in Italia nel secolo XV."},
      {"il xix secolo, capitolo xii, canto iii, atto ii, scena iv, cap. vi",
       "il XIX secolo, capitolo XII, canto III, atto II, scena IV, capitolo vi"},
      {"Milly Carlucci e' una Carlucci x 10^(-3) ?", "Milly Carlucci è una Carlucci x 10^(-3) ?"},
      {"il regolatore  ui0 = - Li xi  e' costante", "il regolatore  ui0 = - Li xi  è costante"},
  });
  ExpectUntouched({
      "Carlo vi disse di andare, Marco mi vide, Paolo di Tarso, Anna li chiama.",
      "\t\t-- Gioele Dix, \"Mai Dire Gol\", aprile 1998",
      "Un mix di pezzi da 5 mm, una legge civile e Luigi XIV.",
      "nel secolo iiii, capitolo ic",
  });
}

TEST(ItalianRules, AddressesSpelledOut) {
  ExpectNormalised({
      {"http://www.debian.org/doc", "indirizzo web debian punto org barra doc"},
      {"Visitate www.fortune-it.net/.", "Visitate indirizzo web fortune trattino it punto net."},
      {"Vedi https://it.wikipedia.org/wiki/Luigi_XIV?a=1.",
       "Vedi indirizzo web it punto wikipedia punto org barra wiki barra Luigi trattino basso XIV "
       "punto interrogativo a uguale 1."},
      {"Scrivete a mario.rossi@example.com.",
       "Scrivete a indirizzo email mario punto rossi chiocciola example punto com."},
      {"\t\t-- Paolo Mazzinghi <pmazzinghi@autostrade.it>",
       "\t\t-- Paolo Mazzinghi <indirizzo email pmazzinghi chiocciola autostrade punto it>"},
  });
  ExpectUntouched({"talk: connection requested by fortune@localhost.",
                   "Spedite a ypl@yachaya.  Il prof@ manca."});
}

TEST(ItalianRules, TextWithNothingToDoComesBackByteForByte) {
  for (const TPassage& passage : ItalianPassages()) {
    std::string text = Cp1252(passage.text);
    EXPECT_EQ(reading::NormaliseItalian(text), text) << passage.name;
  }
  // Every byte, and the controls and line ends of real texts.
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
  bytes += "\r\n\x1A";
  EXPECT_EQ(reading::NormaliseItalian(bytes), bytes);
  EXPECT_EQ(reading::NormaliseItalian(""), "");
}

}  // namespace
