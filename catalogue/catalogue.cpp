// The stock aircraft and their file lists. Every list has the same shape:
// Aircraft.cfg, top-level files, Model (Model.cfg and the models), Texture,
// Sound (sound.cfg), Panel (panel.cfg), then the zero row.
//
// Names and letter case are exact: a destination name keeps every character
// after the first StemLength, so "P51d.air" and "p51d.dp" stay as they are.

#include "catalogue.h"

namespace {

using A = FileAction;

#define HEAD                                  { "Aircraft.cfg", nullptr, A::RewriteAircraftCfg }
#define FOLDER(name)                          { name, nullptr, A::MakeFolder }
#define MODEL_CFG                             { "Model.cfg", nullptr, A::RewriteStem }
#define COPY(name)                            { name, nullptr, A::CopyNewStem }
#define COPY_AS(name, alt)                    { name, alt, A::CopyAltNewStem }
#define MODEL(name)                           { name, nullptr, A::RewriteStemNewName }
#define TAIL                                  FOLDER("Sound"), { "sound.cfg", nullptr, A::SoundAlias }, \
                                              FOLDER("Panel"), { "panel.cfg", nullptr, A::PanelAlias }, \
                                              { nullptr, nullptr, A::CopyNewStem }

const FileEntry kP38[] = {
    HEAD, COPY("p38.dp"), COPY("p38.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("p38_n.mdl"),
    FOLDER("Texture"), COPY("p38.bmp"), COPY("p38wing.bmp"), COPY("p38wing2.bmp"),
    TAIL};

const FileEntry kP51d[] = {
    HEAD, COPY("p51d.dp"), COPY("P51d.air"), COPY("P51d_check.cfg"),
    FOLDER("Model"), MODEL_CFG, MODEL("P51d_n.mdl"), MODEL("P51d_c.mdl"),
    FOLDER("Texture"), COPY("P51_l_side.bmp"), COPY("P51_r_side.bmp"), COPY("P51_wing.bmp"),
    COPY("P51Tex1.bmp"), COPY("P51Tex2.bmp"),
    TAIL};

const FileEntry kP47d[] = {
    HEAD, COPY("p47d.dp"), COPY("p47d.air"), COPY("p47d_check.cfg"),
    FOLDER("Model"), MODEL_CFG, MODEL("p47d_n.mdl"), MODEL("p47d_c.mdl"),
    FOLDER("Texture"), COPY("p47_1.bmp"), COPY("p47_2.bmp"), COPY("p47_w.bmp"),
    COPY("p47Tex1.bmp"), COPY("p47Tex2.bmp"),
    TAIL};

const FileEntry kB17g[] = {
    HEAD, COPY("b17g.dp"), COPY("b17g.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("b17g_n.mdl"),
    FOLDER("Texture"), COPY("b17_1.bmp"), COPY("b17wing.bmp"), COPY("b17wing2.bmp"),
    TAIL};

const FileEntry kB24j[] = {
    HEAD, COPY("b24j.dp"), COPY("b24j.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("b24j_n.mdl"),
    FOLDER("Texture"), COPY("b24j.bmp"), COPY("b24j_w1.bmp"), COPY("b24j_w2.bmp"),
    TAIL};

const FileEntry kB25j[] = {
    HEAD, COPY("b25j.dp"), COPY("b25j.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("b25j_n.mdl"),
    FOLDER("Texture"), COPY("b25j_1.bmp"), COPY("b25j_w1.bmp"), COPY("b25j_w2.bmp"),
    TAIL};

const FileEntry kC47[] = {
    HEAD, COPY("c47.dp"), COPY("c47.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("c47_n.mdl"),
    FOLDER("Texture"), COPY("c47.bmp"), COPY("c47_w.bmp"),
    TAIL};

// The three Bf109e side textures are renamed to their model's texture words:
// the model rewrite turns "l_side", "r_side" and "wing" into these names.
const FileEntry kBf109e[] = {
    HEAD, COPY("bf109e.dp"), COPY("bf109e.air"), COPY("bf109e_check.cfg"),
    FOLDER("Model"), MODEL_CFG,
    {"bf109e_n.mdl", nullptr, A::RewriteBf109eModel}, {"bf109e_c.mdl", nullptr, A::RewriteBf109eModel},
    FOLDER("Texture"), COPY_AS("l_side.bmp", "bf109l.bmp"), COPY_AS("r_side.bmp", "bf109r.bmp"),
    COPY_AS("wing.bmp", "bf1w.bmp"), COPY("bf109Tx1.bmp"), COPY("bf109Tx2.bmp"),
    TAIL};

const FileEntry kBf109g[] = {
    HEAD, COPY("bf109g.dp"), COPY("bf109g.air"), COPY("bf109g_check.cfg"),
    FOLDER("Model"), MODEL_CFG, MODEL("bf109g_n.mdl"), MODEL("bf109g_c.mdl"),
    FOLDER("Texture"), COPY("bf109g_1.bmp"), COPY("bf109g_w.bmp"), COPY("bf109tx1.bmp"), COPY("bf109tx2.bmp"),
    TAIL};

const FileEntry kFw190a[] = {
    HEAD, COPY("fw190a.dp"), COPY("fw190a.air"), COPY("fw190a_check.cfg"),
    FOLDER("Model"), MODEL_CFG, MODEL("fw190a_n.mdl"), MODEL("fw190a_c.mdl"),
    FOLDER("Texture"), COPY("Fw190_s.bmp"), COPY("Fw190_w.bmp"), COPY("Fw190tx1.bmp"), COPY("Fw190tx2.bmp"),
    TAIL};

const FileEntry kBf110[] = {
    HEAD, COPY("bf110.dp"), COPY("bf110.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("bf110_n.mdl"),
    FOLDER("Texture"), COPY_AS("bf110_s1.bmp", "bf110_side1.bmp"),
    COPY_AS("bf110_s2.bmp", "bf110_side2.bmp"), COPY_AS("bf110_si.bmp", "bf110_side.bmp"),
    TAIL};

const FileEntry kDo17z2[] = {
    HEAD, COPY("do17z2.dp"), COPY("do17z2.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("do17z2_n.mdl"),
    FOLDER("Texture"), COPY("do17_1.bmp"), COPY("do17_2.bmp"),
    TAIL};

const FileEntry kJu87a[] = {
    HEAD, COPY("ju87a.dp"), COPY("ju87a.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("ju87a_n.mdl"),
    FOLDER("Texture"), COPY("ju87a_1.bmp"), COPY("ju87a_2.bmp"),
    TAIL};

const FileEntry kJu88a[] = {
    HEAD, COPY("ju88a.dp"), COPY("ju88a.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("ju88a_n.mdl"),
    FOLDER("Texture"), COPY("ju88_1.bmp"), COPY("ju88_2.bmp"),
    TAIL};

const FileEntry kMosquito[] = {
    HEAD, COPY("Mosquito.dp"), COPY("Mosquito.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("Mosquito_n.mdl"),
    FOLDER("Texture"), COPY("mosq_1.bmp"), COPY("mosq_2.bmp"),
    TAIL};

const FileEntry kTempest[] = {
    HEAD, COPY("tempest.dp"), COPY("tempest.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("tempest_n.mdl"),
    FOLDER("Texture"), COPY("temp1.bmp"), COPY("temp2.bmp"),
    TAIL};

const FileEntry kHe111h[] = {
    HEAD, COPY("he111h.dp"), COPY("he111h.air"),
    FOLDER("Model"), MODEL_CFG, MODEL("he111h_n.mdl"),
    FOLDER("Texture"), COPY("he111_1.bmp"), COPY("he111_2.bmp"),
    TAIL};

const FileEntry kSpitfireMkI[] = {
    HEAD, COPY("spitfire_mki.dp"), COPY("spitfire_mki.air"), COPY("spitfire_mki_check.cfg"),
    FOLDER("Model"), MODEL_CFG, MODEL("spitfire_mki_n.mdl"), MODEL("spitfire_mki_c.mdl"),
    FOLDER("Texture"), COPY("spit_l_side.bmp"), COPY("spit_r_side.bmp"), COPY("spit_wings.bmp"),
    COPY("spit_wings_r.bmp"), COPY("spitTex1.bmp"), COPY("spitTex2.bmp"),
    TAIL};

// "hawkTex" textures take the stem "hurr" in the copy; the model rewrite
// turns both "hurr" and "hawk" into the new stem to match.
const FileEntry kHurricaneI[] = {
    HEAD, COPY("hurricane_i.dp"), COPY("hurricane_i.air"), COPY("hurricane_i_check.cfg"),
    FOLDER("Model"), MODEL_CFG,
    {"hurricane_i_n.mdl", nullptr, A::RewriteHurricaneModel}, {"hurricane_i_c.mdl", nullptr, A::RewriteHurricaneModel},
    FOLDER("Texture"), COPY("hurr_1.bmp"), COPY("hurr_2.bmp"), COPY("hurr_w.bmp"),
    COPY_AS("hawkTex1.bmp", "hurrTex1.bmp"), COPY_AS("hawkTex2.bmp", "hurrTex2.bmp"),
    TAIL};

#undef HEAD
#undef FOLDER
#undef MODEL_CFG
#undef COPY
#undef COPY_AS
#undef MODEL
#undef TAIL

// Catalogue order is the order of the dialog's list; the index is the list position.
// StemLengths look irregular but are exact: P51d has 3 ("P51", what its textures
// start with), Bf109e 3, Ju87a its whole name, B24j and B25j 3.
// The alias target is the stock folder whose sound and panel a copy uses: its
// own (exact case, as the alias file names it) or a shared one in lower case.
const AircraftEntry kAircraft[] = {
    {"P38", 3, kP38, "p47d"},
    {"P51d", 3, kP51d, "P51d"},
    {"P47d", 3, kP47d, "P47d"},
    {"B17g", 3, kB17g, "p47d"},
    {"B24j", 3, kB24j, "p47d"},
    {"B25j", 3, kB25j, "p47d"},
    {"C47", 3, kC47, "p47d"},
    {"Bf109e", 3, kBf109e, "Bf109e"},
    {"Bf109g", 5, kBf109g, "Bf109g"},
    {"Fw190a", 5, kFw190a, "Fw190a"},
    {"Bf110", 5, kBf110, "bf109e"},
    {"Do17z2", 4, kDo17z2, "bf109e"},
    {"Ju87a", 5, kJu87a, "bf109e"},
    {"Ju88a", 4, kJu88a, "bf109e"},
    {"Mosquito", 4, kMosquito, "spitfire_mki"},
    {"Tempest", 4, kTempest, "spitfire_mki"},
    {"He111h", 5, kHe111h, "bf109e"},
    {"Spitfire_MkI", 4, kSpitfireMkI, "Spitfire_MkI"},
    {"Hurricane_I", 4, kHurricaneI, "Hurricane_I"},
};

} // namespace

int GetAircraftCount() { return static_cast<int>(sizeof kAircraft / sizeof kAircraft[0]); }
const char* GetAircraftName(int index) { return kAircraft[index].name; }
int GetStemLength(int index) { return kAircraft[index].StemLength; }
const AircraftEntry& GetAircraftEntry(int index) { return kAircraft[index]; }
