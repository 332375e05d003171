#ifndef CORVANEXML_CORVANEXML_H
#define CORVANEXML_CORVANEXML_H

// Everything a host needs: documents, nodes, streams, parser and tree reader.

#include <CorvaneXML/XMLAttribute.h>
#include <CorvaneXML/XMLBuffer.h>
#include <CorvaneXML/XMLData.h>
#include <CorvaneXML/XMLDocument.h>
#include <CorvaneXML/XMLElement.h>
#include <CorvaneXML/XMLInterfaces.h>
#include <CorvaneXML/XMLKey.h>
#include <CorvaneXML/XMLMarkup.h>
#include <CorvaneXML/XMLNode.h>
#include <CorvaneXML/XMLParser.h>
#include <CorvaneXML/XMLStdStreams.h>
#include <CorvaneXML/XMLStreams.h>
#include <CorvaneXML/XMLTreeReader.h>

#endif
