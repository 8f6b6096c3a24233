<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8"/>
  <xsl:template match="/catalog">
    <html>
      <body>
        <h1>Catalogue</h1>
        <xsl:for-each select="item"><xsl:value-of select="."/><br/></xsl:for-each>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
