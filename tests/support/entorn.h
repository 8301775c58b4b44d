#pragma once

#include "main_window/frm_alumnes.h"
#include "support/fakes.h"
#include "support/fitxers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace proves {

// The main window on the fakes, with a temporary folder for its student files.
struct Entorn {
    MissatgesFals missatges;
    DialegObrirFals dialegObrir;
    DiariFals diari;
    DialegDesarFals dialegDesar;
    CaixaImportacioFals caixaImportacio;
    PortaretallsFals portaretalls;
    ImpressioFals impressio;
    CridesFalses crides;
    SistemaFitxersFals sistemaFitxers{crides};
    record::NomsFitxer noms;
    QTemporaryDir temporal;
    std::unique_ptr<frmAlumnes> finestra;

    Entorn() {
        finestra = std::make_unique<frmAlumnes>(
            platform::Serveis{missatges, dialegObrir, sistemaFitxers, diari, &dialegDesar,
                              &caixaImportacio, &portaretalls, &impressio},
            noms);
    }

    template <class Control = QLineEdit>
    Control* control(const QString& nom) const {
        auto* trobat = finestra->findChild<Control*>(nom);
        if (!trobat)
            qFatal("no hi ha cap control %s", qPrintable(nom));
        return trobat;
    }

    QString etiqueta() const { return control<QLabel>(u"lblNúmRegistreActual"_qs)->text(); }

    void posaPantalla(const Alumne& a) const {
        control(u"txtNom"_qs)->setText(a.nom);
        control(u"txtAdreça"_qs)->setText(a.adreca);
        control(u"txtCodiPostal"_qs)->setText(a.codiPostal);
        control(u"txtPoblació"_qs)->setText(a.poblacio);
        control(u"txtTelèfon"_qs)->setText(a.telefon);
    }

    // The five fields as shown, in record order.
    QStringList pantalla() const {
        QStringList textos;
        for (const auto nom :
             {u"txtNom", u"txtAdreça", u"txtCodiPostal", u"txtPoblació", u"txtTelèfon"})
            textos << control(QString::fromUtf16(nom))->text();
        return textos;
    }

    QString fitxer(const QString& nom, const QByteArray& bytes) const {
        const QString cami = temporal.filePath(nom);
        escriuFitxer(cami, bytes);
        return cami;
    }

    void obre(const QString& cami) {
        dialegObrir.cami = cami;
        finestra->Obrir();
    }

    void clica(const QString& boto) const {
        QTest::mouseClick(control<QPushButton>(boto), Qt::LeftButton);
    }
};

// A student whose fields name it and its number, e.g. "Alumne 3", "Carrer 3".
inline Alumne alumneNumero(int n) {
    const QString s = QString::number(n);
    return {u"Alumne "_qs + s, u"Carrer "_qs + s, u"0800"_qs + s.right(1), u"Poble "_qs + s,
            u"93000000"_qs + s};
}

inline QStringList pantallaDe(const Alumne& a) {
    return {ple(a.nom, 45), ple(a.adreca, 30), ple(a.codiPostal, 5), ple(a.poblacio, 15),
            ple(a.telefon, 12)};
}

}  // namespace proves
