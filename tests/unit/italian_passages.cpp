// Public-domain Italian prose, transcribed for the tests:
//   Carlo Collodi, "Le avventure di Pinocchio" (1883), chapter I;
//   Alessandro Manzoni, "I promessi sposi" (1840), chapter I, the opening
//   and the meeting of don Abbondio with the two bravi;
//   Edmondo De Amicis, "Cuore" (1886), the first pages of October.
// Typography (dashes, ellipses, curly apostrophes and quotes) follows the
// usual Italian printing; the tests derive plainer forms from it.
#include "italian_passages.h"

const std::vector<TPassage>& ItalianPassages() {
  static const std::vector<TPassage> passages = {
      {"pinocchio",
       u8R"(C’era una volta…
— Un re! — diranno subito i miei piccoli lettori.
No, ragazzi, avete sbagliato. C’era una volta un pezzo di legno.
Non era un legno di lusso, ma un semplice pezzo da catasta, di quelli che
d’inverno si mettono nelle stufe e nei caminetti per accendere il fuoco e
per riscaldare le stanze.
Non so come andasse, ma il fatto gli è che un bel giorno questo pezzo di
legno capitò nella bottega di un vecchio falegname, il quale aveva nome
mastr’Antonio, se non che tutti lo chiamavano maestro Ciliegia, per via
della punta del suo naso, che era sempre lustra e paonazza, come una
ciliegia matura.
Appena maestro Ciliegia ebbe visto quel pezzo di legno, si rallegrò tutto;
e dandosi una fregatina di mani per la contentezza, borbottò a mezza voce:
— Questo legno è capitato a tempo: voglio servirmene per fare una gamba di
tavolino.
Detto fatto, prese subito l’ascia arrotata per cominciare a levargli la
scorza e a digrossarlo; ma quando fu lì per lasciare andare la prima
asciata, rimase col braccio sospeso in aria, perché sentì una vocina
sottile sottile, che disse raccomandandosi:
— Non mi picchiar tanto forte!
Figuratevi come rimase quel buon vecchio di maestro Ciliegia!
Girò gli occhi smarriti intorno alla stanza per vedere di dove mai poteva
essere uscita quella vocina, e non vide nessuno! Guardò sotto il banco, e
nessuno; guardò dentro un armadio che stava sempre chiuso, e nessuno;
guardò nel corbello dei trucioli e della segatura, e nessuno; aprì l’uscio
di bottega per dare un’occhiata anche sulla strada, e nessuno! O dunque?…
— Ho capito; — disse allora ridendo e grattandosi la parrucca — si vede
che quella vocina me la son figurata io. Rimettiamoci a lavorare.
E ripresa l’ascia in mano, tirò giù un solennissimo colpo sul pezzo di
legno.
— Ohi! tu m’hai fatto male! — gridò rammaricandosi la solita vocina.
)"},
      {"promessi sposi, il lago",
       u8R"(Quel ramo del lago di Como, che volge a mezzogiorno, tra due catene non
interrotte di monti, tutto a seni e a golfi, a seconda dello sporgere e del
rientrare di quelli, vien, quasi a un tratto, a ristringersi, e a prender
corso e figura di fiume, tra un promontorio a destra, e un’ampia costiera
dall’altra parte; e il ponte, che ivi congiunge le due rive, par che renda
ancor più sensibile all’occhio questa trasformazione, e segni il punto in
cui il lago cessa, e l’Adda rincomincia, per ripigliar poi nome di lago
dove le rive, allontanandosi di nuovo, lascian l’acqua distendersi e
rallentarsi in nuovi golfi e in nuovi seni.

La costiera, formata dal deposito di tre grossi torrenti, scende appoggiata
a due monti contigui, l’uno detto di san Martino, l’altro, con voce
lombarda, il Resegone, dai molti suoi cocuzzoli in fila, che in vero lo
fanno somigliare a una sega: talché non è chi, al primo vederlo, purché sia
di fronte, come per esempio di su le mura di Milano che guardano a
settentrione, non lo discerna tosto, a un tal contrassegno, in quella lunga
e vasta giogaia, dagli altri monti di nome più oscuro e di forma più
comune.
)"},
      {"promessi sposi, i bravi",
       u8R"(— Signor curato, — disse un di que’ due, piantandogli gli occhi in faccia.
— Cosa comanda? — rispose subito don Abbondio, alzando i suoi dal libro,
che gli restò spalancato nelle mani, come sur un leggìo.
— Lei ha intenzione, — proseguì l’altro, con l’atto minaccioso e iracondo
di chi coglie un suo inferiore sull’intraprendere una ribalderia, — lei ha
intenzione di maritar domani Renzo Tramaglino e Lucia Mondella!
— Cioè… — rispose, con voce tremolante, don Abbondio: — cioè. Lor signori
son uomini di mondo, e sanno benissimo come vanno queste faccende. Il
povero curato non c’entra: fanno i loro pasticci tra loro, e poi… e poi,
vengon da noi, come s’anderebbe a un banco a riscotere; e noi… noi siamo
i servitori del comune.
— Or bene, — gli disse il bravo, all’orecchio, ma in tono solenne di
comando, — questo matrimonio non s’ha da fare, né domani, né mai.
)"},
      {"cuore",
       u8R"(Il primo giorno di scuola
17, lunedì.

Oggi primo giorno di scuola. Passarono come un sogno quei tre mesi di
vacanza in campagna! Mia madre mi condusse questa mattina alla Sezione
Baretti a farmi inscrivere per la terza elementare: io pensavo alla
campagna e andavo di mala voglia. Tutte le strade brulicavano di ragazzi;
le due botteghe di libraio erano affollate di padri e di madri che
compravano zaini, cartelle e quaderni, e davanti alla scuola s’accalcava
tanta gente, che il bidello e la guardia civica duravan fatica a tenere
sgombra la porta. Vicino alla porta, mi sentii toccare una spalla: era il
mio maestro della seconda, sempre allegro, coi suoi capelli rossi
arruffati, che mi disse: “Dunque, Enrico, siamo separati per sempre?”. Io
lo sapevo bene; eppure mi fecero pena quelle parole.
)"},
  };
  return passages;
}
