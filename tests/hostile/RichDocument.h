#ifndef CORVANE_HOSTILE_RICH_DOCUMENT_H
#define CORVANE_HOSTILE_RICH_DOCUMENT_H

// A document that reaches every construct the reader knows: prolog PI,
// DOCTYPE with an internal subset, comments, attributes, entities and
// character references, CDATA, nesting, and an epilogue.
inline const char* RichDocument() {
    return "<?xml version=\"1.0\"?>\n"
           "<!DOCTYPE doc PUBLIC \"-//Corvane//doc//EN\" \"doc.dtd\" [<!ELEMENT doc ANY>]>\n"
           "<!-- prolog comment -->\n"
           "<doc a=\"1\" b=\"x &amp; y\" c=\"&#65;&#x42;\">\n"
           "  <head><title lang=\"en\">T &lt; U &gt; V</title></head>\n"
           "  <body>\n"
           "    <p id=\"p1\">quoted &quot;q&quot; &apos;s&apos; &#xe9;&#233;</p>\n"
           "    <code><![CDATA[x < y && ]] > z]]></code>\n"
           "    <list><item n=\"1\"/><item n=\"2\">two</item><!-- inner --></list>\n"
           "    <skip s=\"1\"><deep><deeper k=\"v\">gone</deeper></deep></skip>\n"
           "    <tail/>\n"
           "  </body>\n"
           "</doc>\n"
           "<!-- epilogue -->\n"
           "<?done now?>\n";
}

#endif
