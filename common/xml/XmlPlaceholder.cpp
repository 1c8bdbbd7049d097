int zvXmlPlaceholder = 0;
