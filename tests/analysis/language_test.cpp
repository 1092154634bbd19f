// The choice of a document's language: a test set of short pages in the six languages, with
// and without a declaration, mixed pages, pages with almost no text and pages of mostly code.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "analysis/language.hpp"
#include "io/fileproc.hpp"
#include "support/faultyfileops.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

// The same paragraph of installation instructions in each language, as UTF-8.
const std::string kEnglish =
    "Installing the package is simple. First download the archive from the project page and "
    "unpack it into a folder of your choice. Then open a terminal in that folder and run the "
    "configuration script. The script checks that all the libraries you need are present and "
    "tells you what is missing. When the check has passed, build the program with make and "
    "install it as the administrator.";
const std::string kFrench =
    "L'installation du paquet est simple. T\u00e9l\u00e9chargez d'abord l'archive depuis la "
    "page du projet et d\u00e9compressez-la dans le dossier de votre choix. Ouvrez ensuite un "
    "terminal dans ce dossier et lancez le script de configuration. Le script v\u00e9rifie que "
    "toutes les biblioth\u00e8ques dont vous avez besoin sont pr\u00e9sentes et vous indique ce "
    "qui manque.";
const std::string kGerman =
    "Die Installation des Pakets ist einfach. Laden Sie zuerst das Archiv von der Projektseite "
    "herunter und entpacken Sie es in einen Ordner Ihrer Wahl. \u00d6ffnen Sie dann ein "
    "Terminal in diesem Ordner und starten Sie das Konfigurationsskript. Das Skript pr\u00fcft, "
    "ob alle Bibliotheken vorhanden sind, die Sie brauchen, und sagt Ihnen, was fehlt.";
const std::string kSpanish =
    "La instalaci\u00f3n del paquete es sencilla. Primero descargue el archivo desde la "
    "p\u00e1gina del proyecto y descompr\u00edmalo en una carpeta de su elecci\u00f3n. "
    "Despu\u00e9s abra una terminal en esa carpeta y ejecute el guion de configuraci\u00f3n. El "
    "guion comprueba que todas las bibliotecas que necesita est\u00e1n presentes y le indica lo "
    "que falta.";
const std::string kItalian =
    "L'installazione del pacchetto \u00e8 semplice. Per prima cosa scaricate l'archivio dalla "
    "pagina del progetto e scompattatelo in una cartella a vostra scelta. Poi aprite un "
    "terminale in quella cartella ed eseguite lo script di configurazione. Lo script controlla "
    "che tutte le librerie di cui avete bisogno siano presenti e vi dice che cosa manca.";
const std::string kPortuguese =
    "A instala\u00e7\u00e3o do pacote \u00e9 simples. Primeiro descarregue o arquivo a partir "
    "da p\u00e1gina do projeto e descompacte-o numa pasta \u00e0 sua escolha. Depois abra um "
    "terminal nessa pasta e execute o script de configura\u00e7\u00e3o. O script verifica se "
    "todas as bibliotecas de que precisa est\u00e3o presentes e diz-lhe o que falta. Quando a "
    "verifica\u00e7\u00e3o tiver terminado, compile o programa com make e instale-o como "
    "administrador.";

std::string Page(const std::string& body, const std::string& htmlAttributes = "") {
  return "<html" + htmlAttributes + "><head><title>Install</title></head>\r\n<body>\r\n<p>" + body +
         "</p>\r\n</body></html>\r\n";
}

std::string Windows1252(const std::string& utf8) {
  return EncodeCp1252(FromUtf8(utf8));
}

std::string LfOnly(std::string bytes) {
  for (size_t p; (p = bytes.find("\r\n")) != std::string::npos;)
    bytes.erase(p, 1);
  return bytes;
}

struct LanguageCase {
  const char* name;
  std::string bytes;
  const char* code;
  LanguageSource source;
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Script(size_t size) {
  std::string script = "<script>\r\n";
  while (script.size() < size)
    script += "var der = die; if (und) { return das; } // the and of for with\r\n";
  return script + "</script>\r\n";
}

// Bytes of a noise generator: no text, but cut into words they hit the short words of the
// lists now and then.
std::string Noise(size_t size) {
  std::string bytes;
  uint32_t state = 12345;
  while (bytes.size() < size) {
    state = state * 1103515245U + 12345U;
    bytes.push_back(static_cast<char>(state >> 16));
  }
  return bytes;
}

const LanguageCase kLanguageCases[] = {
    {"english", Page(kEnglish), "en", LanguageSource::Recognised},
    {"french", Page(kFrench), "fr", LanguageSource::Recognised},
    {"german", Page(kGerman), "de", LanguageSource::Recognised},
    {"spanish", Page(kSpanish), "es", LanguageSource::Recognised},
    {"italian", Page(kItalian), "it", LanguageSource::Recognised},
    {"portuguese", Page(kPortuguese), "pt", LanguageSource::Recognised},
    {"german_windows_1252", Windows1252(Page(kGerman)), "de", LanguageSource::Recognised},
    {"french_windows_1252", Windows1252(Page(kFrench)), "fr", LanguageSource::Recognised},
    {"portuguese_lf_only", LfOnly(Page(kPortuguese)), "pt", LanguageSource::Recognised},
    // A declaration of one of the six wins over the text, as before.
    {"german_declared_german", Page(kGerman, " lang=\"de\""), "de", LanguageSource::Declared},
    {"german_declared_french", Page(kGerman, " lang=\"fr\""), "fr", LanguageSource::Declared},
    {"english_declared_en_gb", Page(kEnglish, " lang=\"en-GB\""), "en", LanguageSource::Declared},
    // A code outside the six is no declaration.
    {"italian_declared_dutch", Page(kItalian, " lang=\"nl\""), "it", LanguageSource::Recognised},
    // Mixed: the language of most of the text, or English when none clearly leads.
    {"german_with_english_quote", Page(kGerman + " " + kGerman + " \"Download the archive.\""),
     "de", LanguageSource::Recognised},
    {"english_menu_french_text", Page("Home About Contact " + kFrench), "fr",
     LanguageSource::Recognised},
    {"french_and_italian_halves", Page(kFrench + " " + kItalian), "en", LanguageSource::Default},
    // Almost no text, or none.
    {"one_word", Page("Impressum"), "en", LanguageSource::Default},
    {"only_markup", "<html><head></head><body><img src=\"a.png\"></body></html>", "en",
     LanguageSource::Default},
    {"three_german_words", Page("und die der"), "en", LanguageSource::Default},
    // Mostly code: scripts, styles and PHP are not text.
    {"script_heavy_italian",
     "<html><head>" + Script(20000) + "<style>p { und: die; }</style></head>\r\n<body><p>" +
         kItalian + "</p></body></html>\r\n",
     "it", LanguageSource::Recognised},
    {"php_heavy_spanish",
     "<?php\r\n$texte = \"le la les des pour avec dans sur\";\r\necho $texte;\r\n?>\r\n" +
         Page(kSpanish),
     "es", LanguageSource::Recognised},
    {"only_code", "<html><head>" + Script(3000) + "</head><body></body></html>", "en",
     LanguageSource::Default},
    // A file the run refuses has no language to recognise.
    {"noise", Noise(3000), "en", LanguageSource::Default},
    {"spanish_in_rtf", "{\\rtf1\\ansi " + kSpanish + "}", "en", LanguageSource::Default},
    // Text beyond the first 256 KB is never read.
    {"german_after_a_long_script", "<html><head>" + Script(300000) + "</head>" + Page(kGerman),
     "en", LanguageSource::Default},
};

class LanguageChoiceTest : public testing::TestWithParam<LanguageCase> {
 protected:
  static void SetUpTestSuite() {
    for (int32_t position = 0; position < kAllLanguagesIndex; ++position)
      words_.LoadCommonWords(TAGWRIGHT_SOURCE_DATA_DIR, position);
  }
  static CommonWords words_;
  test::TempDir dir_;
};

CommonWords LanguageChoiceTest::words_;

TEST_P(LanguageChoiceTest, DeclaredElseRecognisedElseEnglish) {
  const LanguageCase& c = GetParam();
  const auto file = dir_.Write("page.html", c.bytes);
  const LanguageChoice choice = ChooseDocumentLanguage(FromPath(file), words_);
  EXPECT_EQ(ToUtf8(strLanguageCodes[static_cast<size_t>(choice.position)]), c.code);
  EXPECT_EQ(choice.source, c.source);
}

INSTANTIATE_TEST_SUITE_P(TestSet, LanguageChoiceTest, testing::ValuesIn(kLanguageCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(LanguageChoiceTest, BadInputGivesTheDefault) {
  CommonWords words;
  words.LoadCommonWords(TAGWRIGHT_SOURCE_DATA_DIR, 2);
  std::string binary;
  for (int k = 0; k < 100000; ++k)
    binary.push_back(static_cast<char>((k * 7919) % 256));
  test::TempDir dir;
  const LanguageChoice fallback{0, LanguageSource::Default};
  EXPECT_EQ(ChooseDocumentLanguage(FromPath(dir.Write("binary.html", binary)), words), fallback);
  EXPECT_EQ(ChooseDocumentLanguage(FromPath(dir.Write("empty.html", "")), words), fallback);
  EXPECT_EQ(ChooseDocumentLanguage(FromPath(dir.path() / "missing.html"), words), fallback);
  EXPECT_EQ(ChooseDocumentLanguage(FromPath(dir.path()), words), fallback);
}

TEST(LanguageChoiceTest, TheLinesOfEachChoice) {
  EXPECT_EQ(LanguageChoiceLine({2, LanguageSource::Declared}), "language: de (declared)");
  EXPECT_EQ(LanguageChoiceLine({5, LanguageSource::Recognised}), "language: es (recognised)");
  EXPECT_EQ(LanguageChoiceLine({0, LanguageSource::Default}), "language: en (default)");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// A read that fails while the language is chosen is the command's failure, not "nothing
// declared": the choice reports it.
TEST(LanguageChoiceTest, AFailedReadIsReportedNotTakenAsNothingDeclared) {
  CommonWords words;
  words.LoadCommonWords(TAGWRIGHT_SOURCE_DATA_DIR, 2);
  test::TempDir dir;
  // Larger than one read, with its declaration and its words beyond the first read.
  std::string page(300000, ' ');
  page += "<html lang=\"de\"><p>und die der das</p></html>\r\n";
  const auto file = dir.Write("page.html", page);
  for (int nth : {1, 2}) {
    SCOPED_TRACE(nth);
    test::FaultyFileOps ops;
    ops.FailOn(test::FileOp::Read, nth, EIO);
    DocumentReader document(ops);
    ASSERT_FALSE(document.Open(file).failed());
    const Result<LanguageChoice> choice = ChooseDocumentLanguage(document, FromPath(file), words);
    ASSERT_FALSE(choice.ok());
    EXPECT_EQ(choice.error().number, EIO);
  }
}

}  // namespace
}  // namespace tw
