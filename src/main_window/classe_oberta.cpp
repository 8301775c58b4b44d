#include "main_window/classe_oberta.h"

#include "exchange/fitxer_alumnes.h"
#include "record/noms.h"
#include "record/recompte.h"

#include <QUndoCommand>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

using platform::ErrorFitxer;
using record::TipusAlumne;

namespace {

constexpr qint64 kLongitud = TipusAlumne::kLongitud;

qint64 inici(qint16 numero) {
    return (qint64(numero) - 1) * kLongitud;
}

// The record as the screen shows it and gives it back: each field through its text.
TipusAlumne comEsMostra(const TipusAlumne& alumne) {
    TipusAlumne mostrat;
    for (const record::DisposicioCamp& camp : record::kDisposicio)
        mostrat.posa(camp.camp, alumne.text(camp.camp));
    return mostrat;
}

// «Puig Ferrer, Marta», or the record's number when it has no name.
QString quiEs(QByteArrayView bytes, qint16 numero) {
    const QString nom = TipusAlumne::deBytes(bytes).text(record::Camp::Nom).trimmed();
    return nom.isEmpty() ? QStringLiteral("el registre %1").arg(numero)
                         : QStringLiteral("«%1»").arg(nom);
}

}  // namespace

// A change of the history. QUndoCommand's own undo() and redo() have no way to say that the disk
// refused: the work is done by desfesA and refesA, which throw, and the stack moves only once the
// file holds the result.
class ClasseOberta::Canvi : public QUndoCommand {
  public:
    explicit Canvi(const QString& text) : QUndoCommand(text) {}
    void undo() override {}
    void redo() override {}
    // Each returns the record to show.
    virtual qint16 desfesA(ClasseOberta& classe) = 0;
    virtual qint16 refesA(ClasseOberta& classe) = 0;
};

// A save that changed the file's bytes: the record's earlier bytes (fewer than a record where the
// file ended inside it, none past its end) and the length the file had.
class ClasseOberta::Desada : public Canvi {
  public:
    Desada(qint16 numero, QByteArray anteriors, QByteArray nous, qint64 longitudAbans)
        : Canvi(anteriors.isEmpty() ? QStringLiteral("alumne nou %1").arg(quiEs(nous, numero))
                                    : QStringLiteral("desa %1").arg(quiEs(nous, numero))),
          m_numero(numero),
          m_anteriors(std::move(anteriors)),
          m_nous(std::move(nous)),
          m_longitudAbans(longitudAbans) {}

    qint16 desfesA(ClasseOberta& classe) override {
        if (m_anteriors.size() == kLongitud) {
            classe.escriu(m_numero, m_anteriors);
        } else if (m_anteriors.isEmpty()) {
            classe.talla(m_longitudAbans);
        } else {
            QByteArray bytes = classe.m_fitxer.contingut();
            bytes.replace(inici(m_numero), m_anteriors.size(), m_anteriors);
            bytes.truncate(m_longitudAbans);
            classe.substitueix(bytes);
        }
        return std::min<qint16>(m_numero, qint16(classe.m_registresOcupats));
    }

    qint16 refesA(ClasseOberta& classe) override {
        classe.escriu(m_numero, m_nous);
        return m_numero;
    }

  private:
    qint16 m_numero;
    QByteArray m_anteriors;
    QByteArray m_nous;
    qint64 m_longitudAbans;
};

// A removed record, as it lay in the file (a partial last one as partial).
class ClasseOberta::Eliminacio : public Canvi {
  public:
    Eliminacio(qint16 numero, QByteArray bytes)
        : Canvi(QStringLiteral("elimina %1").arg(quiEs(bytes, numero))),
          m_numero(numero),
          m_bytes(std::move(bytes)) {}

    qint16 refesA(ClasseOberta& classe) override {
        QByteArray bytes = classe.m_fitxer.contingut();
        bytes.remove(inici(m_numero), m_bytes.size());
        classe.substitueix(bytes);
        return std::min<qint16>(m_numero, qint16(classe.m_registresOcupats));
    }

    qint16 desfesA(ClasseOberta& classe) override {
        QByteArray bytes = classe.m_fitxer.contingut();
        bytes.insert(inici(m_numero), m_bytes);
        classe.substitueix(bytes);
        return m_numero;
    }

  private:
    qint16 m_numero;
    QByteArray m_bytes;
};

// An ordering as its permutation: the record at position i came from position m_ordre[i]. A
// partial last record is completed with spaces to move; undone, it is partial again.
class ClasseOberta::Ordenacio : public Canvi {
  public:
    Ordenacio(std::vector<int> ordre, qint64 longitudAbans, qint16 actual)
        : Canvi(QStringLiteral("ordena per nom")),
          m_ordre(std::move(ordre)),
          m_longitudAbans(longitudAbans),
          m_actual(actual) {}

    qint16 refesA(ClasseOberta& classe) override {
        QByteArray abans = classe.m_fitxer.contingut();
        abans.append(qsizetype(m_ordre.size()) * kLongitud - abans.size(), ' ');
        QByteArray despres(abans.size(), Qt::Uninitialized);
        qint16 actual = 0;
        for (std::size_t i = 0; i < m_ordre.size(); ++i) {
            std::copy_n(abans.constData() + m_ordre[i] * kLongitud, kLongitud,
                        despres.data() + qsizetype(i) * kLongitud);
            if (m_ordre[i] + 1 == m_actual)
                actual = qint16(i + 1);
        }
        classe.substitueix(despres);
        return actual ? actual : m_actual;
    }

    qint16 desfesA(ClasseOberta& classe) override {
        const QByteArray despres = classe.m_fitxer.contingut();
        QByteArray abans(despres.size(), Qt::Uninitialized);
        for (std::size_t i = 0; i < m_ordre.size(); ++i)
            std::copy_n(despres.constData() + qsizetype(i) * kLongitud, kLongitud,
                        abans.data() + m_ordre[i] * kLongitud);
        abans.truncate(m_longitudAbans);
        classe.substitueix(abans);
        return m_actual;
    }

  private:
    std::vector<int> m_ordre;
    qint64 m_longitudAbans;
    qint16 m_actual;
};

// Records added after the last: the length the file had, what went after it and the record that
// was on screen.
class ClasseOberta::Afegits : public Canvi {
  public:
    Afegits(const QString& text, qint64 longitudAbans, QByteArray afegits, qint16 actual)
        : Canvi(text),
          m_longitudAbans(longitudAbans),
          m_afegits(std::move(afegits)),
          m_actual(actual) {}

    qint16 desfesA(ClasseOberta& classe) override {
        classe.talla(m_longitudAbans);
        return std::min<qint16>(m_actual, qint16(classe.m_registresOcupats));
    }

    qint16 refesA(ClasseOberta& classe) override {
        classe.substitueix(classe.m_fitxer.contingut() + m_afegits);
        return qint16(exchange::registresAmbBytes(m_longitudAbans) + 1);
    }

  private:
    qint64 m_longitudAbans;
    QByteArray m_afegits;
    qint16 m_actual;
};

ClasseOberta::ClasseOberta(platform::SistemaFitxers& fitxer) : m_fitxer(fitxer) {
    m_historia.setUndoLimit(kLimitHistoria);
}

ClasseOberta::~ClasseOberta() {
    // The stack empties itself as it goes, and says so: nobody who listened is there any more.
    m_historia.blockSignals(true);
}

void ClasseOberta::posaRecompte(qint64 longitud) {
    try {
        NumRegistres = record::NombreDeRegistres(longitud, m_longRegistre);
    } catch (const std::overflow_error&) {
        throw std::overflow_error(QStringLiteral("%1 fa %2 bytes, més dels 32767 registres que "
                                                 "pot tenir un fitxer d'alumnes")
                                      .arg(m_cami)
                                      .arg(longitud)
                                      .toStdString());
    }
    m_registresOcupats = exchange::registresAmbBytes(longitud);
}

void ClasseOberta::compta() {
    posaRecompte(m_fitxer.longitud());
    anotaEscrit();
    RegistreActual = 1;
    posaMostrat(TipusAlumne());
}

void ClasseOberta::posaMostrat(const TipusAlumne& alumne, bool nou) {
    m_mostrat = alumne;
    m_nou = nou;
    m_buidada = false;
    ++m_vista;
}

void ClasseOberta::anotaEscrit() {
    m_empremta = m_fitxer.empremta();
}

// A step that failed put back what it could: the file is as this window left it, whatever its
// times now say.
void ClasseOberta::jaEsComLHaDeixat() {
    try {
        anotaEscrit();
    } catch (const std::exception&) {
        // The disk cannot answer: the next step asks again, and finds a change.
    }
}

void ClasseOberta::obre(const QString& cami, qint16 longRegistre) {
    m_historia.clear();
    m_historiaPerduda = false;
    m_deForaPendent = CanviDeFora::Cap;
    m_renumera = false;
    m_perReobrir = false;
    m_fitxer.obre(cami, longRegistre);
    m_cami = cami;
    m_longRegistre = longRegistre;
}

void ClasseOberta::tanca() {
    m_historia.clear();
    m_historiaPerduda = false;
    m_perReobrir = false;
    m_fitxer.tanca();
}

void ClasseOberta::tancaSenseAvisar() {
    try {
        tanca();
    } catch (const std::exception&) {
        // Already failing: the caller's message is the one the user sees.
    }
}

TipusAlumne ClasseOberta::llegeix(qint16 numero) {
    const QByteArray bytes = m_fitxer.llegeixRegistre(numero);
    const bool forat = std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
    const TipusAlumne alumne = forat ? TipusAlumne() : TipusAlumne::deBytes(bytes);
    posaMostrat(comEsMostra(alumne));
    return alumne;
}

CanviDeFora ClasseOberta::mira() {
    CanviDeFora que = CanviDeFora::Canviat;
    if (m_perReobrir) {
        m_fitxer.obre(m_cami, m_longRegistre);
        m_perReobrir = false;
        que = CanviDeFora::Substituit;
    } else {
        const platform::Empremta ara = m_fitxer.empremta();
        if (ara == m_empremta)
            return CanviDeFora::Cap;
        if (ara.substituit()) {
            // The file the name now gives is the class: it is opened and locked in its place. Left
            // closed when that fails, the next step tries again.
            m_perReobrir = true;
            try {
                m_fitxer.tanca();
            } catch (const ErrorFitxer&) {
                // Nobody will read the old file again: what it failed to flush goes with it.
            }
            m_fitxer.obre(m_cami, m_longRegistre);
            m_perReobrir = false;
            que = CanviDeFora::Substituit;
        }
    }
    if (m_historia.count() > 0)
        m_historiaPerduda = true;
    m_historia.clear();
    posaRecompte(m_fitxer.longitud());
    anotaEscrit();
    m_buidada = false;
    m_renumera = true;
    if (m_deForaPendent != CanviDeFora::Substituit)
        m_deForaPendent = que;
    return que;
}

bool ClasseOberta::senseCanvisDeFora() {
    try {
        return m_fitxer.empremta() == m_empremta;
    } catch (const std::exception&) {
        return false;
    }
}

Desat ClasseOberta::desa(const TipusAlumne& pantalla) {
    mira();
    const bool tocada = pantallaTocada(pantalla);
    if (m_buidada && !tocada)
        return {CanviDeFora::Cap, false};  // the class the teacher emptied stays empty
    qint16 numero = RegistreActual;
    if (m_renumera) {
        // Never past a cut end (the gap would be zero bytes) nor over a record another program
        // added: a new student, or one past the end, goes after the last whole record.
        const qint64 sencers = m_empremta.longitud / kLongitud;
        if ((m_nou || numero > sencers) && sencers < exchange::kMaximRegistres)
            numero = qint16(sencers + 1);
        RegistreActual = numero;
        if (!tocada) {
            // Nothing of the user's to write: the screen goes back to what the file holds.
            if (!m_nou && numero > m_registresOcupats)
                RegistreActual = std::max<qint16>(NumRegistres, 1);
            m_renumera = false;
            return {std::exchange(m_deForaPendent, CanviDeFora::Cap), false};
        }
    }
    const QByteArray nous = pantalla.bytes();
    platform::Escrit escrit;
    try {
        escrit = m_fitxer.escriuRegistre(numero, nous);
    } catch (const std::exception&) {
        jaEsComLHaDeixat();
        throw;
    }
    m_registresOcupats = std::max<qint64>(
        {m_registresOcupats, numero, exchange::registresAmbBytes(escrit.longitud)});
    anotaEscrit();
    posaMostrat(pantalla);
    const CanviDeFora deFora = std::exchange(m_deForaPendent, CanviDeFora::Cap);
    if (std::exchange(m_renumera, false))
        posaRecompte(escrit.longitud);
    if (!escrit.anteriors)
        m_historia.clear();  // a bad sector, which the save may mend, but cannot be undone
    else if (*escrit.anteriors != nous)
        m_historia.push(new Desada(numero, *escrit.anteriors, nous, escrit.longitudAbans));
    return {deFora, true};
}

std::optional<qint16> ClasseOberta::nou() {
    // Past the count and past every record already in the file: in an empty file the student
    // just saved as record 1 lies past the count, and a partial last record lies past it too.
    const qint64 nou = std::max<qint64>(NumRegistres, m_registresOcupats) + 1;
    if (nou > std::numeric_limits<qint16>::max())
        return std::nullopt;
    NumRegistres = qint16(nou);
    RegistreActual = NumRegistres;
    posaMostrat(TipusAlumne(), true);
    return RegistreActual;
}

void ClasseOberta::haCanviat() {
    m_fet = true;
    posaRecompte(m_fitxer.longitud());
    anotaEscrit();
}

void ClasseOberta::escriu(qint16 numero, const QByteArray& bytes) {
    m_fitxer.escriuRegistre(numero, bytes);
    haCanviat();
}

void ClasseOberta::talla(qint64 longitud) {
    m_fitxer.tallaA(longitud);
    haCanviat();
}

void ClasseOberta::substitueix(const QByteArray& bytes) {
    try {
        m_fitxer.substitueix(bytes);
    } catch (const ErrorFitxer&) {
        // Only the folder's flush failed when the file at the name is another: the bytes are in.
        bool posats = false;
        try {
            posats = m_fitxer.empremta().inode != m_empremta.inode;
        } catch (const std::exception&) {
        }
        if (posats)
            haCanviat();
        throw;
    }
    haCanviat();
}

ClasseOberta::Canvi* ClasseOberta::canvi(int index) {
    return static_cast<Canvi*>(const_cast<QUndoCommand*>(m_historia.command(index)));
}

// A change is made as its own redo, and joins the history once the file holds it.
qint16 ClasseOberta::elimina() {
    mira();
    const qint64 longitud = m_empremta.longitud;
    const qint64 desde = inici(RegistreActual);
    if (RegistreActual < 1 || desde >= longitud)
        return RegistreActual <= m_registresOcupats ? RegistreActual : 0;
    // The record as it lies, a partial last one as partial: what Desfés puts back.
    return fes(new Eliminacio(
        RegistreActual,
        m_fitxer.llegeixRegistre(RegistreActual).first(std::min(kLongitud, longitud - desde))));
}

qint16 ClasseOberta::ordena() {
    mira();
    const QByteArray bytes = m_fitxer.contingut();
    const exchange::VistaRegistres registres(bytes);
    QStringList noms;
    noms.reserve(registres.nombre());
    for (qsizetype i = 0; i < registres.nombre(); ++i)
        noms << registres.alumne(i).text(record::Camp::Nom);
    std::vector<int> ordre = record::ordrePerNom(noms);
    if (std::is_sorted(ordre.begin(), ordre.end()))
        return RegistreActual;  // already in order: nothing to change, nothing to undo
    return fes(new Ordenacio(std::move(ordre), bytes.size(), RegistreActual));
}

qint16 ClasseOberta::afegeix(const QByteArray& registres, const QString& descripcio) {
    mira();
    if (m_registresOcupats + registres.size() / kLongitud > exchange::kMaximRegistres)
        throw std::length_error("més de 32767 alumnes");
    qint64 abans = 0;
    try {
        abans = m_fitxer.afegeixRegistres(registres);
    } catch (const std::exception&) {
        jaEsComLHaDeixat();
        throw;
    }
    const qint64 cua = abans % kLongitud;
    QByteArray afegits = cua ? QByteArray(kLongitud - cua, ' ') : QByteArray();
    afegits += registres;
    haCanviat();
    m_historia.push(new Afegits(descripcio, abans, std::move(afegits), RegistreActual));
    return qint16(exchange::registresAmbBytes(abans) + 1);
}

bool ClasseOberta::comprovaHistoria(bool hiHa, const char* que) {
    const CanviDeFora deFora = mira();
    if (deFora == CanviDeFora::Cap && hiHa)
        return true;
    if (deFora != CanviDeFora::Cap || std::exchange(m_historiaPerduda, false)) {
        // The refusal says it: the next save has no more to say, but still numbers past the
        // other program's records.
        m_historiaPerduda = false;
        m_deForaPendent = CanviDeFora::Cap;
        throw ErrorCanviExtern(que, deFora == CanviDeFora::Substituit);
    }
    return false;
}

// The stack follows the file: it moves when the file holds the change, even when a later step
// (the folder's flush) failed.
template <class Pas, class Mou>
qint16 ClasseOberta::segueix(Pas&& pas, Mou&& mou) {
    m_fet = false;
    qint16 mostra = 0;
    try {
        mostra = pas();
    } catch (...) {
        if (m_fet)
            mou();
        jaEsComLHaDeixat();
        throw;
    }
    mou();
    RegistreActual = std::max<qint16>(mostra, 1);
    if (mostra == 0) {
        // Nobody left: the blank screen is what the file holds, and is not saved.
        posaMostrat(TipusAlumne());
        m_buidada = true;
    }
    return mostra;
}

qint16 ClasseOberta::fes(Canvi* canvi) {
    std::unique_ptr<Canvi> propi(canvi);
    return segueix([&] { return propi->refesA(*this); }, [&] { m_historia.push(propi.release()); });
}

std::optional<qint16> ClasseOberta::desfes() {
    if (!comprovaHistoria(m_historia.canUndo(), "desfer"))
        return std::nullopt;
    Canvi* darrer = canvi(m_historia.index() - 1);
    return segueix([&] { return darrer->desfesA(*this); }, [&] { m_historia.undo(); });
}

std::optional<qint16> ClasseOberta::refes() {
    if (!comprovaHistoria(m_historia.canRedo(), "refer"))
        return std::nullopt;
    Canvi* seguent = canvi(m_historia.index());
    return segueix([&] { return seguent->refesA(*this); }, [&] { m_historia.redo(); });
}
