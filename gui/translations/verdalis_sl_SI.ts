<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sl_SI">
<context>
    <name>About</name>
    <message>
        <source>About Verdalis</source>
        <translation>O programu Verdalis</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot;font-size:18pt; font-weight:700;&quot;&gt;Verdalis&lt;/span&gt;&lt;/p&gt;&lt;p&gt;Version 1.0.0.&lt;/p&gt;&lt;p&gt;Verdalis is an OpenGL application for modeling, rendering, animation and simulation of natural tree ecosystem.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot;font-size:18pt; font-weight:700;&quot;&gt;Verdalis&lt;/span&gt;&lt;/p&gt;&lt;p&gt;Različica 1.0.0.&lt;/p&gt;&lt;p&gt;Verdalis je program OpenGL za modeliranje, izrisovanje, animacijo in simulacijo naravnega gozdnega ekosistema.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
</context>
<context>
    <name>AdvancedTreeProperties</name>
    <message>
        <source>Advanced tree properties</source>
        <translation>Napredne lastnosti drevesa</translation>
    </message>
    <message>
        <source>Tree age (number of strands):</source>
        <translation>Starost drevesa (število žil):</translation>
    </message>
    <message>
        <source>Trunk height:</source>
        <translation>Višina debla:</translation>
    </message>
    <message>
        <source>Branch relative thickness per strand:</source>
        <translation>Relativna debelina veje na žilo:</translation>
    </message>
    <message>
        <source>Gravicentralism (central trunk uprightness):</source>
        <translation>Gravicentralizem (pokončnost osrednjega debla):</translation>
    </message>
    <message>
        <source>Phyllotaxis angle (branch rotation along the trunk) :</source>
        <translation>Kot filotaksije (zasuk vej vzdolž debla) :</translation>
    </message>
    <message>
        <source>Leaf type:</source>
        <translation>Vrsta listov:</translation>
    </message>
    <message>
        <source>Spiral</source>
        <translation>Spiralno</translation>
    </message>
    <message>
        <source>Stacked</source>
        <translation>Naloženo</translation>
    </message>
    <message>
        <source>Staggered</source>
        <translation>Izmenično</translation>
    </message>
    <message>
        <source>Bunched</source>
        <translation>V šopih</translation>
    </message>
    <message>
        <source>Coniferous</source>
        <translation>Iglasto</translation>
    </message>
    <message>
        <source>Leaf density:</source>
        <translation>Gostota listov:</translation>
    </message>
    <message>
        <source>Leaf size:</source>
        <translation>Velikost listov:</translation>
    </message>
    <message>
        <source>Wind gust speed:</source>
        <translation>Hitrost sunkov vetra:</translation>
    </message>
    <message>
        <source>Wind nonuniform speed:</source>
        <translation>Hitrost neenakomernega vetra:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Uporabi</translation>
    </message>
    <message>
        <source>auto-proof</source>
        <translation>sprotni prikaz</translation>
    </message>
</context>
<context>
    <name>DistributionDesigner</name>
    <message>
        <source>Distribution designer</source>
        <translation>Oblikovalnik porazdelitve</translation>
    </message>
    <message>
        <source>Gravelius order distribution:</source>
        <translation>Porazdelitev po Graveliusovem redu:</translation>
    </message>
    <message>
        <source>Weibull order distribution:</source>
        <translation>Porazdelitev po Weibullovem redu:</translation>
    </message>
    <message>
        <source>Left click to add and move to modify a point or right click to remove.</source>
        <translation>Levi klik doda točko, premik jo spremeni, desni klik jo odstrani.</translation>
    </message>
    <message>
        <source>Selected level:</source>
        <translation>Izbrana raven:</translation>
    </message>
    <message>
        <source>no hover</source>
        <translation>ni izbire</translation>
    </message>
    <message>
        <source>color levels</source>
        <translation>obarvaj ravni</translation>
    </message>
    <message>
        <source>auto proof</source>
        <translation>sprotni prikaz</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>EcosystemRender</name>
    <message>
        <source>Error</source>
        <translation>Napaka</translation>
    </message>
    <message>
        <source>Could not open bark texture file.</source>
        <translation>Datoteke s teksturo lubja ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>Could not open leaf texture file.</source>
        <translation>Datoteke s teksturo listov ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>Could not open DEM terrain file.</source>
        <translation>Datoteke z modelom terena (DMR) ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>Error reading DEM terrain file.</source>
        <translation>Napaka pri branju datoteke z modelom terena (DMR).</translation>
    </message>
</context>
<context>
    <name>EcosystemStatistics</name>
    <message>
        <source>Ecosystem statistics</source>
        <translation>Statistika ekosistema</translation>
    </message>
    <message>
        <source>Living species:</source>
        <translation>Živeče vrste:</translation>
    </message>
    <message>
        <source>Bush</source>
        <translation>Grm</translation>
    </message>
    <message>
        <source>Weeping willow</source>
        <translation>Žalujoča vrba</translation>
    </message>
    <message>
        <source>Maple</source>
        <translation>Javor</translation>
    </message>
    <message>
        <source>Pine</source>
        <translation>Bor</translation>
    </message>
    <message>
        <source>Beech</source>
        <translation>Bukev</translation>
    </message>
    <message>
        <source>rendered only</source>
        <translation>samo izrisane</translation>
    </message>
    <message>
        <source>Tip: right click on graph to determine year and number of plants.</source>
        <translation>Namig: kliknite z desno tipko na graf, da odčitate leto in število rastlin.</translation>
    </message>
    <message>
        <source>Current value:</source>
        <translation>Trenutna vrednost:</translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation>Shrani kot CSV …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zapri</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>Verdalis Help</source>
        <translation>Pomoč za Verdalis</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Verdalis</source>
        <translation>Verdalis</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datoteka</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Urejanje</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Pogled</translation>
    </message>
    <message>
        <source>&amp;Navigation</source>
        <translation>&amp;Navigacija</translation>
    </message>
    <message>
        <source>Move faster</source>
        <translation>Hitrejše premikanje</translation>
    </message>
    <message>
        <source>Move slower</source>
        <translation>Počasnejše premikanje</translation>
    </message>
    <message>
        <source>Tree &amp;animation</source>
        <translation>&amp;Animacija drevesa</translation>
    </message>
    <message>
        <source>&amp;Ecosystem simulation</source>
        <translation>Simulacija &amp;ekosistema</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Po&amp;moč</translation>
    </message>
    <message>
        <source>L&amp;oad tree parameters</source>
        <translation>&amp;Odpri parametre drevesa</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>&amp;Save tree parameters</source>
        <translation>&amp;Shrani parametre drevesa</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>&amp;Import tree 2.x parameters</source>
        <translation>&amp;Uvozi parametre drevesa 2.x</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Export current tree geometry as &amp;vertices</source>
        <translation>Izvozi geometrijo drevesa kot o&amp;glišča</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>Export current tree as Latex formulas</source>
        <translation>Izvozi drevo kot formule LaTeX</translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation>Ctrl+T</translation>
    </message>
    <message>
        <source>Load DEM terrain model</source>
        <translation>Odpri digitalni model reliefa (DMR)</translation>
    </message>
    <message>
        <source>Ctrl+Alt+D</source>
        <translation>Ctrl+Alt+D</translation>
    </message>
    <message>
        <source>Set sky textures</source>
        <translation>Nastavi teksture neba</translation>
    </message>
    <message>
        <source>Ctrl+Alt+T</source>
        <translation>Ctrl+Alt+T</translation>
    </message>
    <message>
        <source>Export &amp;window image</source>
        <translation>Izvozi sliko o&amp;kna</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Export custom resolution image</source>
        <translation>&amp;Izvozi sliko poljubne ločljivosti</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Ani&amp;mation rendering mode (sequence export)</source>
        <translation>Način &amp;animacije (izvoz zaporedja slik)</translation>
    </message>
    <message>
        <source>Ctrl+Alt+M</source>
        <translation>Ctrl+Alt+M</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Končaj</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Select &amp;next tree parameters (tree edit mode)</source>
        <translation>Izberi &amp;naslednje parametre drevesa (urejanje drevesa)</translation>
    </message>
    <message>
        <source>Ctrl+Space</source>
        <translation>Ctrl+Space</translation>
    </message>
    <message>
        <source>&amp;Enlarge leave size</source>
        <translation>&amp;Povečaj liste</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>&amp;Reduce leave size</source>
        <translation>Po&amp;manjšaj liste</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Load &amp;bark texture</source>
        <translation>Odpri teksturo &amp;lubja</translation>
    </message>
    <message>
        <source>Ctrl+Alt+B</source>
        <translation>Ctrl+Alt+B</translation>
    </message>
    <message>
        <source>Load lea&amp;f texture</source>
        <translation>Odpri teksturo lis&amp;tov</translation>
    </message>
    <message>
        <source>Ctrl+Alt+L</source>
        <translation>Ctrl+Alt+L</translation>
    </message>
    <message>
        <source>Design &amp;strand distribution</source>
        <translation>Oblikuj porazdelitev &amp;žil</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Design &amp;branching angles</source>
        <translation>Oblikuj &amp;kote razvejitve</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Design branch absolute minimal &amp;length</source>
        <translation>Oblikuj najmanjšo absolutno &amp;dolžino vej</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Design branch absolute maximal length</source>
        <translation>Oblikuj največjo absolutno dolžino vej</translation>
    </message>
    <message>
        <source>Ctrl+Shift+L</source>
        <translation>Ctrl+Shift+L</translation>
    </message>
    <message>
        <source>Design branch lenght s&amp;caling</source>
        <translation>Oblikuj &amp;razmerje dolžin vej</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Design &amp;gravimorphism impact distribution</source>
        <translation>Oblikuj porazdelitev vpliva &amp;gravimorfizma</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Ctrl+G</translation>
    </message>
    <message>
        <source>&amp;Advanced tree &amp;properties</source>
        <translation>&amp;Napredne lastnosti drevesa</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Show &amp;ecosystem</source>
        <translation>Prikaži &amp;ekosistem</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>&amp;Add view</source>
        <translation>&amp;Dodaj pogled</translation>
    </message>
    <message>
        <source>Shift+Esc</source>
        <translation>Shift+Esc</translation>
    </message>
    <message>
        <source>Show frame &amp;rate</source>
        <translation>Prikaži hit&amp;rost izrisa</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>&amp;Lighting enabled</source>
        <translation>&amp;Osvetlitev</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>Display &amp;background sky</source>
        <translation>Prikaži &amp;nebo v ozadju</translation>
    </message>
    <message>
        <source>Ctrl+K</source>
        <translation>Ctrl+K</translation>
    </message>
    <message>
        <source>Render &amp;wireframe</source>
        <translation>Izriši &amp;žičnati model</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
    <message>
        <source>Display lea&amp;ves</source>
        <translation>Prikaži &amp;liste</translation>
    </message>
    <message>
        <source>L</source>
        <translation>L</translation>
    </message>
    <message>
        <source>Colour &amp;uppon tree branches</source>
        <translation>Obarvaj veje po &amp;redovih</translation>
    </message>
    <message>
        <source>C</source>
        <translation>C</translation>
    </message>
    <message>
        <source>&amp;High quality tree rendering (more polygons)</source>
        <translation>&amp;Kakovosten izris drevesa (več poligonov)</translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation>Ctrl+H</translation>
    </message>
    <message>
        <source>Do not draw &amp;trees (ecosystem mode)</source>
        <translation>Ne riši &amp;dreves (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Do not refresh &amp;display, only run simulation (ecosystem mode)</source>
        <translation>Ne osvežuj &amp;prikaza, le simuliraj (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+R</source>
        <translation>Ctrl+Shift+R</translation>
    </message>
    <message>
        <source>Show ecologic neighb&amp;orhood (ecosystem mode)</source>
        <translation>Prikaži ekološko &amp;soseščino (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Display terrain l&amp;and markings (South, North, East, West)</source>
        <translation>Prikaži &amp;oznake strani neba na terenu (jug, sever, vzhod, zahod)</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <source>Display terrain &amp;normals</source>
        <translation>Prikaži &amp;normale terena</translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation>Ctrl+1</translation>
    </message>
    <message>
        <source>Display terrain &amp;inclination</source>
        <translation>Prikaži n&amp;aklon terena</translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation>Ctrl+2</translation>
    </message>
    <message>
        <source>Display terrain &amp;moisture</source>
        <translation>Prikaži &amp;vlažnost terena</translation>
    </message>
    <message>
        <source>Ctrl+3</source>
        <translation>Ctrl+3</translation>
    </message>
    <message>
        <source>Display terrain &amp;sunniness</source>
        <translation>Prikaži os&amp;ončenost terena</translation>
    </message>
    <message>
        <source>Ctrl+4</source>
        <translation>Ctrl+4</translation>
    </message>
    <message>
        <source>Display terrain &amp;windiness</source>
        <translation>Prikaži ve&amp;trovnost terena</translation>
    </message>
    <message>
        <source>Ctrl+5</source>
        <translation>Ctrl+5</translation>
    </message>
    <message>
        <source>Display sun</source>
        <translation>Prikaži sonce</translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation>Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>&amp;Navigation panel</source>
        <translation>&amp;Navigacijska plošča</translation>
    </message>
    <message>
        <source>Ctrl+Alt+N</source>
        <translation>Ctrl+Alt+N</translation>
    </message>
    <message>
        <source>Switch to next predefined camera (ecosystem mode)</source>
        <translation>Preklopi na naslednjo shranjeno kamero (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+0</source>
        <translation>Ctrl+0</translation>
    </message>
    <message>
        <source>Save camera as predefined</source>
        <translation>Shrani kamero med vnaprej določene</translation>
    </message>
    <message>
        <source>Ctrl+Shift+0</source>
        <translation>Ctrl+Shift+0</translation>
    </message>
    <message>
        <source>Reset camera position and rotation</source>
        <translation>Ponastavi položaj in zasuk kamere</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Keep camera position above terrain surface (ecosystem mode)</source>
        <translation>Drži kamero nad površjem terena (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+8</source>
        <translation>Ctrl+8</translation>
    </message>
    <message>
        <source>Force camera position at terrain surface (ecosystem mode)</source>
        <translation>Postavi kamero na površje terena (ekosistem)</translation>
    </message>
    <message>
        <source>Ctrl+9</source>
        <translation>Ctrl+9</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Premik gor</translation>
    </message>
    <message>
        <source>,</source>
        <translation>,</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Premik dol</translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>Move left</source>
        <translation>Premik levo</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Move right</source>
        <translation>Premik desno</translation>
    </message>
    <message>
        <source>PgDown</source>
        <translation>PgDown</translation>
    </message>
    <message>
        <source>Move forward</source>
        <translation>Premik naprej</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Move backward</source>
        <translation>Premik nazaj</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Rotate left</source>
        <translation>Zasuk levo</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rotate right</source>
        <translation>Zasuk desno</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Rotate up</source>
        <translation>Pogled gor</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Rotate down</source>
        <translation>Pogled dol</translation>
    </message>
    <message>
        <source>End</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Rotate in</source>
        <translation>Nagib levo</translation>
    </message>
    <message>
        <source>Ins</source>
        <translation>Ins</translation>
    </message>
    <message>
        <source>Rotate out</source>
        <translation>Nagib desno</translation>
    </message>
    <message>
        <source>PgUp</source>
        <translation>PgUp</translation>
    </message>
    <message>
        <source>Move up more</source>
        <translation>Večji premik gor</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>Move down more</source>
        <translation>Večji premik dol</translation>
    </message>
    <message>
        <source>Ctrl+.</source>
        <translation>Ctrl+.</translation>
    </message>
    <message>
        <source>Move left more</source>
        <translation>Večji premik levo</translation>
    </message>
    <message>
        <source>Ctrl+Del</source>
        <translation>Ctrl+Del</translation>
    </message>
    <message>
        <source>Move right more</source>
        <translation>Večji premik desno</translation>
    </message>
    <message>
        <source>Ctrl+PgDown</source>
        <translation>Ctrl+PgDown</translation>
    </message>
    <message>
        <source>Move forward more</source>
        <translation>Večji premik naprej</translation>
    </message>
    <message>
        <source>Ctrl+Up</source>
        <translation>Ctrl+Up</translation>
    </message>
    <message>
        <source>Move backward more</source>
        <translation>Večji premik nazaj</translation>
    </message>
    <message>
        <source>Ctrl+Down</source>
        <translation>Ctrl+Down</translation>
    </message>
    <message>
        <source>Move up less</source>
        <translation>Manjši premik gor</translation>
    </message>
    <message>
        <source>Alt+,</source>
        <translation>Alt+,</translation>
    </message>
    <message>
        <source>Move down less</source>
        <translation>Manjši premik dol</translation>
    </message>
    <message>
        <source>Alt+.</source>
        <translation>Alt+.</translation>
    </message>
    <message>
        <source>Move left less</source>
        <translation>Manjši premik levo</translation>
    </message>
    <message>
        <source>Alt+Del</source>
        <translation>Alt+Del</translation>
    </message>
    <message>
        <source>Move right less</source>
        <translation>Manjši premik desno</translation>
    </message>
    <message>
        <source>Alt+PgDown</source>
        <translation>Alt+PgDown</translation>
    </message>
    <message>
        <source>Move forward less</source>
        <translation>Manjši premik naprej</translation>
    </message>
    <message>
        <source>Alt+Up</source>
        <translation>Alt+Up</translation>
    </message>
    <message>
        <source>Move backward less</source>
        <translation>Manjši premik nazaj</translation>
    </message>
    <message>
        <source>Alt+Down</source>
        <translation>Alt+Down</translation>
    </message>
    <message>
        <source>G&amp;row tree</source>
        <translation>&amp;Rast drevesa</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>&amp;Spin tree</source>
        <translation>&amp;Vrtenje drevesa</translation>
    </message>
    <message>
        <source>O</source>
        <translation>O</translation>
    </message>
    <message>
        <source>Sway tree in &amp;wind</source>
        <translation>&amp;Zibanje drevesa v vetru</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>&amp;Run simulation</source>
        <translation>&amp;Zaženi simulacijo</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>Load simulation</source>
        <translation>Odpri simulacijo</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Shift+L</source>
        <translation>Ctrl+Alt+Shift+L</translation>
    </message>
    <message>
        <source>Save simulation</source>
        <translation>Shrani simulacijo</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Shift+S</source>
        <translation>Ctrl+Alt+Shift+S</translation>
    </message>
    <message>
        <source>Autosave simulation</source>
        <translation>Samodejno shranjuj simulacijo</translation>
    </message>
    <message>
        <source>Ctrl+Alt+V</source>
        <translation>Ctrl+Alt+V</translation>
    </message>
    <message>
        <source>Set plant area</source>
        <translation>Nastavi območje sajenja</translation>
    </message>
    <message>
        <source>Ctrl+Alt+A</source>
        <translation>Ctrl+Alt+A</translation>
    </message>
    <message>
        <source>Edit random generator seeds</source>
        <translation>Uredi semena naključnih generatorjev</translation>
    </message>
    <message>
        <source>Ctrl+Alt+R</source>
        <translation>Ctrl+Alt+R</translation>
    </message>
    <message>
        <source>Compute &amp;more simulation steps per one rendered frame</source>
        <translation>Izračunaj &amp;več korakov simulacije na izrisano sliko</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Compute &amp;less simulation steps per one rendered frame</source>
        <translation>Izračunaj &amp;manj korakov simulacije na izrisano sliko</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Show &amp;statistics</source>
        <translation>Prikaži &amp;statistiko</translation>
    </message>
    <message>
        <source>F6</source>
        <translation>F6</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Uporaba</translation>
    </message>
    <message>
        <source>Shift+F1</source>
        <translation>Shift+F1</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;O programu</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>Not available</source>
        <translation>Ni na voljo</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not available yet.</source>
        <translation>»%1« še ni na voljo.</translation>
    </message>
    <message>
        <source>Environmental deaths</source>
        <translation>Smrti zaradi okolja</translation>
    </message>
    <message>
        <source>Ctrl+Alt+E</source>
        <translation>Ctrl+Alt+E</translation>
    </message>
    <message>
        <source>Export tree as glTF…</source>
        <translation>Izvozi drevo kot glTF…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+G</source>
        <translation>Ctrl+Shift+G</translation>
    </message>
    <message>
        <source>Export tree as OBJ…</source>
        <translation>Izvozi drevo kot OBJ…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+O</source>
        <translation>Ctrl+Shift+O</translation>
    </message>
    <message>
        <source>Export forest as glTF…</source>
        <translation>Izvozi gozd kot glTF…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+F</source>
        <translation>Ctrl+Shift+F</translation>
    </message>
    <message>
        <source>Tree &amp;scale</source>
        <translation>&amp;Merilo dreves</translation>
    </message>
    <message>
        <source>&amp;Exact distant trees</source>
        <translation>&amp;Natančna oddaljena drevesa</translation>
    </message>
    <message>
        <source>&amp;Fast distant trees</source>
        <translation>&amp;Hitra oddaljena drevesa</translation>
    </message>
    <message>
        <source>×1</source>
        <translation>×1</translation>
    </message>
    <message>
        <source>×2</source>
        <translation>×2</translation>
    </message>
    <message>
        <source>×5</source>
        <translation>×5</translation>
    </message>
    <message>
        <source>×10</source>
        <translation>×10</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
    <message>
        <source>Ctrl+Shift+D</source>
        <translation>Ctrl+Shift+D</translation>
    </message>
    <message>
        <source>Ctrl+Alt+1</source>
        <translation>Ctrl+Alt+1</translation>
    </message>
    <message>
        <source>Ctrl+Alt+2</source>
        <translation>Ctrl+Alt+2</translation>
    </message>
    <message>
        <source>Ctrl+Alt+5</source>
        <translation>Ctrl+Alt+5</translation>
    </message>
    <message>
        <source>Ctrl+Alt+0</source>
        <translation>Ctrl+Alt+0</translation>
    </message>
</context>
<context>
    <name>NavigationPanel</name>
    <message>
        <source>Navigation panel</source>
        <translation>Navigacijska plošča</translation>
    </message>
    <message>
        <source>Look</source>
        <translation>Pogled</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>Obrat</translation>
    </message>
    <message>
        <source>°</source>
        <translation>°</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>Obrni levo</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>Obrni desno</translation>
    </message>
    <message>
        <source>Roll</source>
        <translation>Naklon</translation>
    </message>
    <message>
        <source>Look down</source>
        <translation>Poglej dol</translation>
    </message>
    <message>
        <source>Look up</source>
        <translation>Poglej gor</translation>
    </message>
    <message>
        <source>Yow</source>
        <translation>Nagib</translation>
    </message>
    <message>
        <source>Roll left</source>
        <translation>Nagni levo</translation>
    </message>
    <message>
        <source>Roll right</source>
        <translation>Nagni desno</translation>
    </message>
    <message>
        <source>Movement</source>
        <translation>Premikanje</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
    <message>
        <source>Move West</source>
        <translation>Proti zahodu</translation>
    </message>
    <message>
        <source>Move East</source>
        <translation>Proti vzhodu</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Gor</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Dol</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Move North</source>
        <translation>Proti severu</translation>
    </message>
    <message>
        <source>Move South</source>
        <translation>Proti jugu</translation>
    </message>
    <message>
        <source>Travel forward</source>
        <translation>Potuj naprej</translation>
    </message>
    <message>
        <source>Travel backward</source>
        <translation>Potuj nazaj</translation>
    </message>
    <message>
        <source>DEM:</source>
        <translation>DMR:</translation>
    </message>
    <message>
        <source>Terrain dimensions: 2500m x 2500m.</source>
        <translation>Velikost terena: 2500 m × 2500 m.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>PixmapExportDialog</name>
    <message>
        <source>Export pixmap</source>
        <translation>Izvoz slike</translation>
    </message>
    <message>
        <source>Pixmap width:</source>
        <translation>Širina slike:</translation>
    </message>
    <message>
        <source>Pixmap height:</source>
        <translation>Višina slike:</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Kakovost:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>PlantArea</name>
    <message>
        <source>Plant area setup</source>
        <translation>Območje sajenja</translation>
    </message>
    <message>
        <source>Minimum x:</source>
        <translation>Najmanjši x:</translation>
    </message>
    <message>
        <source>Maximum x:</source>
        <translation>Največji x:</translation>
    </message>
    <message>
        <source>Minimum y:</source>
        <translation>Najmanjši y:</translation>
    </message>
    <message>
        <source>Maximum y:</source>
        <translation>Največji y:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>RandomGeneratorSeedsEditor</name>
    <message>
        <source>Random generator seeds editor</source>
        <translation>Urejevalnik semen naključnih generatorjev</translation>
    </message>
    <message>
        <source>Random: grow close</source>
        <translation>Naključno: rast v bližini</translation>
    </message>
    <message>
        <source>Random: choose near plant
</source>
        <translation>Naključno: izbira bližnje rastline
</translation>
    </message>
    <message>
        <source>Random: choose new plant grow side</source>
        <translation>Naključno: stran rasti nove rastline</translation>
    </message>
    <message>
        <source>Random: position of new plants anywhere</source>
        <translation>Naključno: položaj novih rastlin kjerkoli</translation>
    </message>
    <message>
        <source>Random: 3D positions of new plants I</source>
        <translation>Naključno: 3D-položaji novih rastlin I</translation>
    </message>
    <message>
        <source>Random: 3D positions of new plants J</source>
        <translation>Naključno: 3D-položaji novih rastlin J</translation>
    </message>
    <message>
        <source>Random: death because of being dominated</source>
        <translation>Naključno: smrt zaradi prevlade drugih</translation>
    </message>
    <message>
        <source>Random: death because of bad height</source>
        <translation>Naključno: smrt zaradi neugodne višine</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Random: death because of bad moisture&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Naključno: smrt zaradi neugodne vlažnosti&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Random: death because of bad sunniness&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Naključno: smrt zaradi neugodne osončenosti&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Random: death because of bad windiness&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Naključno: smrt zaradi neugodne vetrovnosti&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Random: death because of bad slope/pH&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Naključno: smrt zaradi neugodnega naklona/pH&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Random: time of death&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Naključno: čas smrti&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>SkyTextures</name>
    <message>
        <source>Sky textures</source>
        <translation>Teksture neba</translation>
    </message>
    <message>
        <source>North texture:</source>
        <translation>Severna tekstura:</translation>
    </message>
    <message>
        <source>South texture:</source>
        <translation>Južna tekstura:</translation>
    </message>
    <message>
        <source>East texture:</source>
        <translation>Vzhodna tekstura:</translation>
    </message>
    <message>
        <source>West texture:</source>
        <translation>Zahodna tekstura:</translation>
    </message>
    <message>
        <source>Upper texture:</source>
        <translation>Zgornja tekstura:</translation>
    </message>
    <message>
        <source>Lower texture:</source>
        <translation>Spodnja tekstura:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>V redu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>TreeLatexWriter</name>
    <message>
        <source>Minimum relative branch length,</source>
        <translation>Najmanjša relativna dolžina veje,</translation>
    </message>
    <message>
        <source> using equation \ref{eqn:minCharacteristicLengthGW}, substituting</source>
        <translation> z enačbo \ref{eqn:minCharacteristicLengthGW}, kamor vstavimo</translation>
    </message>
    <message>
        <source>Maximum relative branch length,</source>
        <translation>Največja relativna dolžina veje,</translation>
    </message>
    <message>
        <source>using equation \ref{eqn:maxCharacteristicLengthGW}, substituting</source>
        <translation>z enačbo \ref{eqn:maxCharacteristicLengthGW}, kamor vstavimo</translation>
    </message>
    <message>
        <source>Branch length scaling factor,</source>
        <translation>Faktor skaliranja dolžine vej,</translation>
    </message>
    <message>
        <source>using equation \ref{eqn:lengthScalingGW}, substituting</source>
        <translation>z enačbo \ref{eqn:lengthScalingGW}, kamor vstavimo</translation>
    </message>
    <message>
        <source>Gravimorphism impact,</source>
        <translation>Vpliv gravimorfizma,</translation>
    </message>
    <message>
        <source>using equation \ref{eqn:gravimorphismGW}, substituting</source>
        <translation>z enačbo \ref{eqn:gravimorphismGW}, kamor vstavimo</translation>
    </message>
    <message>
        <source>Branch distribution</source>
        <translation>Porazdelitev debelin vej</translation>
    </message>
    <message>
        <source>is determined for all orders</source>
        <translation>se določi za vse rede</translation>
    </message>
    <message>
        <source>where</source>
        <translation>kjer sta</translation>
    </message>
    <message>
        <source>are nonnegative whole numbers),</source>
        <translation>nenegativni celi števili),</translation>
    </message>
    <message>
        <source>with equation \ref{eqn:porazdelitevZilGW}. Values</source>
        <translation>z enačbo \ref{eqn:porazdelitevZilGW}. Vrednosti</translation>
    </message>
    <message>
        <source>are calculated from both graphs, that are given with polylines</source>
        <translation>izračunamo iz obeh grafov, ki ju podajata lomljenki</translation>
    </message>
    <message>
        <source> and </source>
        <translation> in </translation>
    </message>
    <message>
        <source>Branching angle between dividing subbranches,</source>
        <translation>Kot razvejitve med podvejama,</translation>
    </message>
    <message>
        <source>, is determined for all orders</source>
        <translation>, se določi za vse rede</translation>
    </message>
    <message>
        <source>using equation \ref{eqn:kotVejitveGW}. Needed parameters</source>
        <translation>z enačbo \ref{eqn:kotVejitveGW}. Potrebna parametra</translation>
    </message>
    <message>
        <source>in mentioned equation</source>
        <translation>v omenjeni enačbi</translation>
    </message>
    <message>
        <source>are defined using two graphs,</source>
        <translation>določata dva grafa,</translation>
    </message>
    <message>
        <source>given as polylines</source>
        <translation>podana kot lomljenki</translation>
    </message>
    <message>
        <source>To model the tree we have chosen following scalar parameters: </source>
        <translation>Za model drevesa smo izbrali naslednje skalarne parametre: </translation>
    </message>
</context>
<context>
    <name>gui::DistributionDesigner</name>
    <message>
        <source>G=%1</source>
        <translation>G=%1</translation>
    </message>
    <message>
        <source>G=%1-%2</source>
        <translation>G=%1-%2</translation>
    </message>
    <message>
        <source>W=%1</source>
        <translation>W=%1</translation>
    </message>
    <message>
        <source>W=%1-%2</source>
        <translation>W=%1-%2</translation>
    </message>
</context>
<context>
    <name>gui::EcosystemStatistics</name>
    <message>
        <source>Save statistics as CSV</source>
        <translation>Shrani statistiko kot CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Datoteke CSV (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Napaka</translation>
    </message>
    <message>
        <source>Could not save file.</source>
        <translation>Datoteke ni bilo mogoče shraniti.</translation>
    </message>
</context>
<context>
    <name>gui::Help</name>
    <message>
        <source>TREES</source>
        <translation>DREVESA</translation>
    </message>
    <message>
        <source>TREE MODEL AND TERMS</source>
        <translation>MODEL DREVESA IN IZRAZI</translation>
    </message>
    <message>
        <source>Tree is rendered using a geometrical model.</source>
        <translation>Drevo je izrisano z geometrijskim modelom.</translation>
    </message>
    <message>
        <source>Geometry is mainly modelled using branch thickness (strand) distribution and branching angles. One branch splits in major and minor subbranches.</source>
        <translation>Geometrijo določata predvsem porazdelitev debelin vej (žil) in koti razvejitve. Vsaka veja se razcepi v glavno in stransko podvejo.</translation>
    </message>
    <message>
        <source>Major branch is a thicker subbranch.</source>
        <translation>Glavna veja je debelejša od obeh podvej.</translation>
    </message>
    <message>
        <source>Distribution is determined using Gravelius and Weibull orders.</source>
        <translation>Porazdelitev je določena z Graveliusovim in Weibullovim redom.</translation>
    </message>
    <message>
        <source>Gravelius order is increased for every minor branch.</source>
        <translation>Graveliusov red se poveča pri vsaki stranski veji.</translation>
    </message>
    <message>
        <source>Weibull order is increased for every subbranch.</source>
        <translation>Weibullov red se poveča pri vsaki podveji.</translation>
    </message>
    <message>
        <source>Base trunk has Gravelius order 0 and Weibull increasing upwards.</source>
        <translation>Osnovno deblo ima Graveliusov red 0, Weibullov red pa narašča navzgor.</translation>
    </message>
    <message>
        <source>Branching angle is angle between both subbranches.</source>
        <translation>Kot razvejitve je kot med obema podvejama.</translation>
    </message>
    <message>
        <source>Length of a branch is designed according to length of its successor branch.</source>
        <translation>Dolžina veje je določena glede na dolžino njene naslednice.</translation>
    </message>
    <message>
        <source>Gravimorphism is gravity impact on branches to grow horizontally up or down.</source>
        <translation>Gravimorfizem je vpliv težnosti, zaradi katerega veje rastejo vodoravno, navzgor ali navzdol.</translation>
    </message>
    <message>
        <source>USAGE INSTRUCTIONS</source>
        <translation>NAVODILA ZA UPORABO</translation>
    </message>
    <message>
        <source>design tree strands distribution.</source>
        <translation>oblikujte porazdelitev žil drevesa.</translation>
    </message>
    <message>
        <source>design tree branching angles.</source>
        <translation>oblikujte kote razvejitve drevesa.</translation>
    </message>
    <message>
        <source>modify branch lengths and perhaps apply some gravimorphism.</source>
        <translation>prilagodite dolžine vej in po želji dodajte nekaj gravimorfizma.</translation>
    </message>
    <message>
        <source>edit aditional advanced properties.</source>
        <translation>uredite dodatne napredne lastnosti.</translation>
    </message>
    <message>
        <source>NAVIGATION</source>
        <translation>NAVIGACIJA</translation>
    </message>
    <message>
        <source>Camera is navigated trough mouse and keyboard:</source>
        <translation>Kamero upravljate z miško in tipkovnico:</translation>
    </message>
    <message>
        <source>left button+move: moves camera.</source>
        <translation>leva tipka in premik miške: premakne kamero.</translation>
    </message>
    <message>
        <source>right button+move: rotates camera.</source>
        <translation>desna tipka in premik miške: zasuka kamero.</translation>
    </message>
    <message>
        <source>keys (shift+)up/down/left/right: move the tree up/down/left/right.</source>
        <translation>tipke (shift+)gor/dol/levo/desno: premaknejo drevo gor/dol/levo/desno.</translation>
    </message>
    <message>
        <source>ESC key: resets view.</source>
        <translation>tipka ESC: ponastavi pogled.</translation>
    </message>
    <message>
        <source>MENUS</source>
        <translation>MENIJI</translation>
    </message>
    <message>
        <source>FILE MENU</source>
        <translation>MENI DATOTEKA</translation>
    </message>
    <message>
        <source>Save parameters: saves customizable tree parameters in a file.</source>
        <translation>Shrani parametre: shrani nastavljive parametre drevesa v datoteko.</translation>
    </message>
    <message>
        <source>Load parameters: loads customizable tree parameters in a file.</source>
        <translation>Odpri parametre: prebere nastavljive parametre drevesa iz datoteke.</translation>
    </message>
    <message>
        <source>Export image: exports image in a raster image (BMP, JPEG, GIF, PNG).</source>
        <translation>Izvozi sliko: izvozi pogled kot rastrsko sliko (BMP, JPEG, GIF, PNG).</translation>
    </message>
    <message>
        <source>Export as points: exports tree geometry to file as collection of quads.</source>
        <translation>Izvozi kot točke: zapiše geometrijo drevesa v datoteko kot množico štirikotnikov.</translation>
    </message>
    <message>
        <source>Quit: exits application.</source>
        <translation>Končaj: zapre program.</translation>
    </message>
    <message>
        <source>VIEW MENU</source>
        <translation>MENI POGLED</translation>
    </message>
    <message>
        <source>Display leaves: toggles tree leaves display.</source>
        <translation>Prikaži liste: vklopi ali izklopi prikaz listov.</translation>
    </message>
    <message>
        <source>High quality rendering: toggles high/low resolution for rendering.</source>
        <translation>Kakovosten izris: preklaplja med visoko in nizko ločljivostjo izrisa.</translation>
    </message>
    <message>
        <source>Color uppon G,W: colors every G/W branch level in different color.</source>
        <translation>Barvanje po G, W: vsak red vej G/W obarva z drugo barvo.</translation>
    </message>
    <message>
        <source>Wireframe: toggles wireframe/texture rendering.</source>
        <translation>Žičnati model: preklaplja med žičnatim in teksturiranim izrisom.</translation>
    </message>
    <message>
        <source>Lighting enabled: enables lighting effect.</source>
        <translation>Osvetlitev: vklopi učinek osvetlitve.</translation>
    </message>
    <message>
        <source>Reset view: resets camera view to original.</source>
        <translation>Ponastavi pogled: vrne kamero v začetni položaj.</translation>
    </message>
    <message>
        <source>PROPERTIES</source>
        <translation>LASTNOSTI</translation>
    </message>
    <message>
        <source>Design strand distribution: determines major branch thickness.</source>
        <translation>Oblikuj porazdelitev žil: določa debelino glavne veje.</translation>
    </message>
    <message>
        <source>Design branching angles: determines angles between subbranches.</source>
        <translation>Oblikuj kote razvejitve: določa kote med podvejama.</translation>
    </message>
    <message>
        <source>Design branch length: determines characteristic branch length.</source>
        <translation>Oblikuj dolžino vej: določa značilno dolžino veje.</translation>
    </message>
    <message>
        <source>Design branch scaling: determines branch length scaling.</source>
        <translation>Oblikuj razmerje dolžin: določa skaliranje dolžin vej.</translation>
    </message>
    <message>
        <source>Design gravimorphism impact distribution: determines gravimorphism impact.</source>
        <translation>Oblikuj porazdelitev vpliva gravimorfizma: določa vpliv gravimorfizma.</translation>
    </message>
    <message>
        <source>Advanced properties:</source>
        <translation>Napredne lastnosti:</translation>
    </message>
    <message>
        <source>Tree age: determines tree age, tree complexity, base trunk thickness.</source>
        <translation>Starost drevesa: določa starost in razvejanost drevesa ter debelino osnovnega debla.</translation>
    </message>
    <message>
        <source>Trunk height: determines base trunk height.</source>
        <translation>Višina debla: določa višino osnovnega debla.</translation>
    </message>
    <message>
        <source>Branch relative thickness per strand: coefficient for branch thickness.</source>
        <translation>Relativna debelina veje na žilo: koeficient debeline vej.</translation>
    </message>
    <message>
        <source>Gravicentralism: central trunk uprightness.</source>
        <translation>Gravicentralizem: pokončnost osrednjega debla.</translation>
    </message>
    <message>
        <source>Phyllotaxis angle: branch rotation along the trunk.</source>
        <translation>Kot filotaksije: zasuk vej vzdolž debla.</translation>
    </message>
    <message>
        <source>Leaf type: 0 - SPIRAL, 1 - STACKED, 2 - STAGGERED, 3 - BUNCHED, 4 - CONIFEROUS.</source>
        <translation>Vrsta listov: 0 – SPIRALNO, 1 – NALOŽENO, 2 – IZMENIČNO, 3 – ŠOPASTO, 4 – IGLIČASTO.</translation>
    </message>
    <message>
        <source>Leaf density: number of leaves on a final branch.</source>
        <translation>Gostota listov: število listov na končni veji.</translation>
    </message>
    <message>
        <source>Leaf size: leaf size.</source>
        <translation>Velikost listov: velikost listov.</translation>
    </message>
    <message>
        <source>Wind speed: speed of the blowing wind.</source>
        <translation>Hitrost vetra: hitrost pihajočega vetra.</translation>
    </message>
    <message>
        <source>Enlarge leaf size: enlarges leaf size for 10%.</source>
        <translation>Povečaj liste: poveča liste za 10 %.</translation>
    </message>
    <message>
        <source>Reduce leaf size: reduces leaf size for 10%.</source>
        <translation>Pomanjšaj liste: pomanjša liste za 10 %.</translation>
    </message>
    <message>
        <source>Set bark texture: loads bark texture.</source>
        <translation>Tekstura lubja: prebere teksturo lubja.</translation>
    </message>
    <message>
        <source>Set leaf texture: loads leaf texture.</source>
        <translation>Tekstura listov: prebere teksturo listov.</translation>
    </message>
    <message>
        <source>ANIMATION</source>
        <translation>ANIMACIJA</translation>
    </message>
    <message>
        <source>Grow: simulates tree growth.</source>
        <translation>Rast: simulira rast drevesa.</translation>
    </message>
    <message>
        <source>Orbit around: the tree spins around by itself.</source>
        <translation>Kroženje: drevo se samo vrti okoli svoje osi.</translation>
    </message>
    <message>
        <source>Wind sway: wind impact simulation.</source>
        <translation>Zibanje v vetru: simulacija vpliva vetra.</translation>
    </message>
    <message>
        <source>HELP</source>
        <translation>POMOČ</translation>
    </message>
    <message>
        <source>About: this window.</source>
        <translation>O programu: to okno.</translation>
    </message>
    <message>
        <source>ECOSYSTEM</source>
        <translation>EKOSISTEM</translation>
    </message>
    <message>
        <source>Ecosystem is modeled according to loded terrain vertex data. After data is loaded, terrain simulations take place to calculate terrain normals, terrain slope, terrain sunniness, terrain windiness and terrain moisture.</source>
        <translation>Ekosistem je modeliran na podlagi prebranih točk terena. Ko so podatki prebrani, se izračunajo normale, naklon, osončenost, vetrovnost in vlažnost terena.</translation>
    </message>
    <message>
        <source>After starting the simulation trees start to grow on terrain. Trees compete with each other for space and food.</source>
        <translation>Ko zaženete simulacijo, začnejo na terenu rasti drevesa. Drevesa med seboj tekmujejo za prostor in hrano.</translation>
    </message>
    <message>
        <source>Camera in this mode is used following: Forward moves forward, Backward moves backward, left/right looks left/right, home/end looks up/down, delete/page down strafes left/right. Insert/PageUp rolls left/right. Backspace moves down and Đ moves up.</source>
        <translation>Kamero v tem načinu upravljate takole: puščica naprej premika naprej, puščica nazaj premika nazaj, levo/desno obrača pogled levo/desno, Home/End obrača pogled gor/dol, Delete/Page Down premika v stran levo/desno. Insert/Page Up nagne levo/desno. Backspace premakne navzdol in Đ navzgor.</translation>
    </message>
</context>
<context>
    <name>gui::MainWindow</name>
    <message>
        <source>Error</source>
        <translation>Napaka</translation>
    </message>
    <message>
        <source>First run simulation please.</source>
        <translation>Najprej zaženite simulacijo.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Razveljavi</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Uveljavi znova</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Razveljavi: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Uveljavi znova: %1</translation>
    </message>
</context>
<context>
    <name>gui::OglWidget</name>
    <message>
        <source>OpenGL Extensions</source>
        <translation>Razširitve OpenGL</translation>
    </message>
    <message>
        <source>Could not query for supported OpenGL extensions, extensions will not be supported.</source>
        <translation>Podprtih razširitev OpenGL ni bilo mogoče poizvedeti, zato razširitve ne bodo uporabljene.</translation>
    </message>
    <message>
        <source>Compiled vertex array is not supported with this driver, using failover.</source>
        <translation>Gonilnik ne podpira prevedenih tabel oglišč, uporabljen bo nadomestni način.</translation>
    </message>
</context>
<context>
    <name>gui::SkyTextures</name>
    <message>
        <source>Choose a file to open</source>
        <translation>Izberite datoteko, ki jo želite odpreti</translation>
    </message>
    <message>
        <source>Images (*.png *.xpm *.jpg *.bmp)</source>
        <translation>Slike (*.png *.xpm *.jpg *.bmp)</translation>
    </message>
</context>
<context>
    <name>gui::StatisticsGraph</name>
    <message>
        <source>Graph</source>
        <translation>Graf</translation>
    </message>
</context>
<context>
    <name>gui::StatusReport</name>
    <message>
        <source>Tree edit mode</source>
        <translation>Urejanje drevesa</translation>
    </message>
    <message>
        <source>Ecosystem mode</source>
        <translation>Ekosistem</translation>
    </message>
    <message>
        <source>Steps per drawn frame: %1</source>
        <translation>Korakov na izrisano sliko: %1</translation>
    </message>
    <message>
        <source>Step %1, living plants: %2</source>
        <translation>Korak %1, živih rastlin: %2</translation>
    </message>
    <message>
        <source>Plants drawn: %1</source>
        <translation>Izrisanih rastlin: %1</translation>
    </message>
    <message>
        <source>%1 fps</source>
        <translation>%1 sličic/s</translation>
    </message>
    <message>
        <source>Growing: %1 %, starts over when grown</source>
        <translation>Rast: %1 %, ob koncu se začne znova</translation>
    </message>
    <message>
        <source>Press F5 to grow the forest</source>
        <translation>Pritisnite F5, da gozd zraste</translation>
    </message>
    <message>
        <source>Step %1, living plants: %2, deaths by environment: %3</source>
        <translation>Korak %1, živih rastlin: %2, smrti zaradi okolja: %3</translation>
    </message>
</context>
<context>
    <name>gui::WidgetGraph</name>
    <message>
        <source>Graph</source>
        <translation>Graf</translation>
    </message>
</context>
<context>
    <name>gui::actionhandling::DesignHandler</name>
    <message>
        <source> for strand distribution</source>
        <translation> za porazdelitev žil</translation>
    </message>
    <message>
        <source> for branching angles distribution</source>
        <translation> za porazdelitev kotov razvejitve</translation>
    </message>
    <message>
        <source> for minimal absolute branch lengths distribution</source>
        <translation> za porazdelitev najmanjših absolutnih dolžin vej</translation>
    </message>
    <message>
        <source> for maximal absolute branch lengths distribution</source>
        <translation> za porazdelitev največjih absolutnih dolžin vej</translation>
    </message>
    <message>
        <source> for branch lengths scaling distribution</source>
        <translation> za porazdelitev razmerij dolžin vej</translation>
    </message>
    <message>
        <source> for gravimorphism impact distribution</source>
        <translation> za porazdelitev vpliva gravimorfizma</translation>
    </message>
    <message>
        <source>Curve change</source>
        <translation>Sprememba krivulje</translation>
    </message>
    <message>
        <source>Tree properties</source>
        <translation>Lastnosti drevesa</translation>
    </message>
</context>
<context>
    <name>gui::actionhandling::FileHandler</name>
    <message>
        <source>Tree version 3.x parameters (*.tree.xml)</source>
        <translation>Parametri drevesa različice 3.x (*.tree.xml)</translation>
    </message>
    <message>
        <source>Images (*.png *.xpm *.jpg *.bmp)</source>
        <translation>Slike (*.png *.xpm *.jpg *.bmp)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Napaka</translation>
    </message>
    <message>
        <source>First run simulation please.</source>
        <translation>Najprej zaženite simulacijo.</translation>
    </message>
    <message>
        <source>The picture could not be encoded.</source>
        <translation>Slike ni bilo mogoče kodirati.</translation>
    </message>
    <message>
        <source>Choose a filename to save under</source>
        <translation>Izberite ime datoteke za shranjevanje</translation>
    </message>
    <message>
        <source>Could not open file.</source>
        <translation>Datoteke ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>Choose a file to open</source>
        <translation>Izberite datoteko, ki jo želite odpreti</translation>
    </message>
    <message>
        <source>Choose a file to import</source>
        <translation>Izberite datoteko za uvoz</translation>
    </message>
    <message>
        <source>Tree version 2.x parameters (*.tree)</source>
        <translation>Parametri drevesa različice 2.x (*.tree)</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Obvestilo</translation>
    </message>
    <message>
        <source>Not yet implemented.</source>
        <translation>Še ni na voljo.</translation>
    </message>
    <message>
        <source>Choose a filename to export under</source>
        <translation>Izberite ime datoteke za izvoz</translation>
    </message>
    <message>
        <source>Latex files (*.tex)</source>
        <translation>Datoteke LaTeX (*.tex)</translation>
    </message>
    <message>
        <source>Could not save file.</source>
        <translation>Datoteke ni bilo mogoče shraniti.</translation>
    </message>
    <message>
        <source>Tree geometry vertices (*.crs)</source>
        <translation>Oglišča geometrije drevesa (*.crs)</translation>
    </message>
    <message>
        <source>Could not draw the picture.</source>
        <translation>Slike ni bilo mogoče izrisati.</translation>
    </message>
    <message>
        <source>Simulation files (*.sim)</source>
        <translation>Datoteke simulacije (*.sim)</translation>
    </message>
    <message>
        <source>Choose a simulation file to open</source>
        <translation>Izberite datoteko simulacije, ki jo želite odpreti</translation>
    </message>
    <message>
        <source>DEM model (*.dmr)</source>
        <translation>Model reliefa DMR (*.dmr)</translation>
    </message>
    <message>
        <source>Load parameters</source>
        <translation>Branje parametrov</translation>
    </message>
    <message>
        <source>Bark texture</source>
        <translation>Tekstura lubja</translation>
    </message>
    <message>
        <source>Leaf texture</source>
        <translation>Tekstura listov</translation>
    </message>
    <message>
        <source>Could not export the tree.</source>
        <translation>Drevesa ni bilo mogoče izvoziti.</translation>
    </message>
    <message>
        <source>glTF binary (*.glb)</source>
        <translation>Binarni glTF (*.glb)</translation>
    </message>
    <message>
        <source>Wavefront OBJ (*.obj)</source>
        <translation>Wavefront OBJ (*.obj)</translation>
    </message>
    <message>
        <source>Could not export the forest.</source>
        <translation>Gozda ni bilo mogoče izvoziti.</translation>
    </message>
</context>
</TS>
